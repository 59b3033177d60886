// "ProfileList.ini": initialise and the list operations of the profile store.
#include "config/profile_store.h"
#include "tests/config/fuzz/fuzz_support.h"

using namespace norvane::config;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path list = norvane::fuzz::WriteInput("ProfileList.ini", data, size);
    ProfileStore store(list.parent_path(), list.parent_path() / "missing-factory.Json");
    const int count = store.Count();
    for (int i = 0; i < count && i < 64; ++i) {
        store.PathOf(i);
    }
    store.Entries();
    const int selected = store.Initialise().index;
    store.SelectedIndex();
    store.Rename(selected, "renamed");
    store.Copy(selected);
    store.Delete(selected);
    store.Add();
    store.Reset(0);
    return 0;
}

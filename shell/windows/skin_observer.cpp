#include "shell/windows/skin_observer.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace norvane::shell {

namespace {

struct Registered {
    int id;
    SkinReceiver receiver;
};

std::vector<Registered>& Receivers() {
    static std::vector<Registered> receivers;
    return receivers;
}

int NextId() {
    static int next = 0;
    return ++next;
}

}  // namespace

SkinReceiverScope::SkinReceiverScope(SkinReceiver receiver) : id_(NextId()) {
    Receivers().push_back({id_, std::move(receiver)});
}

SkinReceiverScope::~SkinReceiverScope() {
    auto& receivers = Receivers();
    std::erase_if(receivers, [this](const Registered& r) { return r.id == id_; });
}

void NotifySkinReceivers(const SkinChangedParam& param) {
    // A copy: a receiver may register or leave while it is called.
    const std::vector<Registered> receivers = Receivers();
    for (const Registered& r : receivers) {
        if (r.receiver) {
            r.receiver(param);
        }
    }
}

}  // namespace norvane::shell

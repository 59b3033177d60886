#include "config/json_file_store.h"
#include "config/json_access.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace norvane::config {
namespace {

using test::ReadText;
using test::TempDir;
using test::WriteText;

TEST(JsonFileStore, UnreadableFilesReadAsNull) {
    TempDir dir;
    WriteText(dir / "empty.json", "");
    WriteText(dir / "broken.json", "{\"a\": ");
    WriteText(dir / "deep.json", std::string(100000, '[') + std::string(100000, ']'));
    for (const char* name : {"missing.json", "empty.json", "broken.json", "deep.json"}) {
        EXPECT_TRUE(JsonFileStore::ReadJsonFile(dir / name).isNull()) << name;
    }
}

TEST(JsonFileStore, FileOverSixteenMebibytesIsUnreadable) {
    TempDir dir;
    std::string big = "{\"pad\": \"" + std::string(16 * 1024 * 1024, 'x') + "\"}";
    WriteText(dir / "big.json", big);
    EXPECT_TRUE(JsonFileStore::ReadFileText(dir / "big.json").empty());
    EXPECT_TRUE(JsonFileStore::ReadJsonFile(dir / "big.json").isNull());
}

TEST(JsonFileStore, CommentsAreAllowedAndTextEndsAtNul) {
    TempDir dir;
    WriteText(dir / "c.json", "// factory\n{ /* a */ \"a\": 1 }");
    EXPECT_EQ(JsonFileStore::ReadJsonFile(dir / "c.json")["a"].asInt(), 1);
    WriteText(dir / "nul.json", std::string("{\"a\": 2}\0garbage", 16));
    EXPECT_EQ(JsonFileStore::ReadJsonFile(dir / "nul.json")["a"].asInt(), 2);
}

TEST(JsonFileStore, WritesTheStyledFormWithANewline) {
    TempDir dir;
    Json::Value root;
    root["Device"][0]["KeyList"][0]["Assignment"] = 2097193;
    root["name"] = "profile1";
    ASSERT_TRUE(JsonFileStore::WriteJsonFile(dir / "p.Json", root));
    EXPECT_EQ(ReadText(dir / "p.Json"),
              "{\n"
              "   \"Device\" : [\n"
              "      {\n"
              "         \"KeyList\" : [\n"
              "            {\n"
              "               \"Assignment\" : 2097193\n"
              "            }\n"
              "         ]\n"
              "      }\n"
              "   ],\n"
              "   \"name\" : \"profile1\"\n"
              "}\n");
}

TEST(JsonFileStore, FailedWriteReportsFalse) {
    TempDir dir;
    EXPECT_FALSE(JsonFileStore::WriteJsonFile(dir / "no-such-folder" / "p.Json", Json::Value(1)));
}

TEST(JsonFileStore, CorruptFilesAreKeptAside) {
    TempDir dir;
    WriteText(dir / "bad.Json", "{ not json");
    WriteText(dir / "array.Json", "[1, 2]");
    WriteText(dir / "blank.Json", "  \n");
    WriteText(dir / "good.Json", "{}");
    EXPECT_TRUE(JsonFileStore::KeepUnreadableFile(dir / "bad.Json"));
    EXPECT_TRUE(JsonFileStore::KeepUnreadableFile(dir / "array.Json"));
    EXPECT_FALSE(JsonFileStore::KeepUnreadableFile(dir / "blank.Json"));
    EXPECT_FALSE(JsonFileStore::KeepUnreadableFile(dir / "good.Json"));
    EXPECT_FALSE(JsonFileStore::KeepUnreadableFile(dir / "missing.Json"));
    EXPECT_FALSE(std::filesystem::exists(dir / "bad.Json"));
    int backups = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        if (entry.path().filename().string().find(".corrupt-") != std::string::npos) {
            ++backups;
            const std::string text = ReadText(entry.path());
            EXPECT_TRUE(text == "{ not json" || text == "[1, 2]") << text;
        }
    }
    EXPECT_EQ(backups, 2);
}

TEST(JsonAccess, WrongTypesReadAsMissing) {
    const Json::Value v = JsonFileStore::ParseJson(
        R"({"n": "12", "o": {"x": 1}, "a": [1], "big": 18446744073709551615, "r": 3.9, "neg": -1, "b": true})");
    EXPECT_EQ(json::IntegerOf(v, "n"), 0);
    EXPECT_EQ(json::IntegerOf(v, "o", 7), 7);
    EXPECT_EQ(json::IntegerOf(v, "r"), 3);
    EXPECT_EQ(json::IntegerOf(v, "b"), 1);
    EXPECT_EQ(json::ByteOf(v, "neg"), 0xFF);
    EXPECT_EQ(json::StringOf(v, "o"), "");
    EXPECT_TRUE(json::BoolOf(v, "r"));
    EXPECT_FALSE(json::BoolOf(v, "n"));
    EXPECT_EQ(json::Member(v["a"], "x"), nullptr);
    EXPECT_EQ(json::Element(v["o"], 0), nullptr);
    EXPECT_EQ(json::Element(v["a"], 1), nullptr);
    Json::Value w = v;
    json::EnsureMember(w["a"], "x") = 1;  // an array replaced by an object
    EXPECT_TRUE(w["a"].isObject());
    json::EnsureElement(w["n"], 2) = 5;  // a string replaced by an array
    EXPECT_EQ(w["n"].size(), 3U);
}

}  // namespace
}  // namespace norvane::config

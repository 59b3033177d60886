#pragma once

#include "device/commands.h"
#include "device/hid_channel.h"

#include <initializer_list>

namespace norvane::devices {

// BeginConfig at construction; EndConfig by Close or, on any other path, at destruction.
class ConfigBracket {
public:
    explicit ConfigBracket(device::HidChannel& channel)
        : channel_(channel), begin_(device::BeginConfig(channel)) {}
    ~ConfigBracket() {
        if (!closed_) {
            device::EndConfig(channel_);
        }
    }
    ConfigBracket(const ConfigBracket&) = delete;
    ConfigBracket& operator=(const ConfigBracket&) = delete;

    [[nodiscard]] int BeginResult() const { return begin_; }
    int Close() {
        closed_ = true;
        return device::EndConfig(channel_);
    }

private:
    device::HidChannel& channel_;
    int begin_;
    bool closed_ = false;
};

// The first failure of a sequence, else success.
constexpr int FirstFailure(std::initializer_list<int> results) {
    for (int r : results) {
        if (r != device::result::kSuccess) {
            return r;
        }
    }
    return device::result::kSuccess;
}

// Whether a sequence may take its next step: by cable while the channel is open; through
// the receiver also only while the device behind it answers as linked.
enum class LinkTest { Off, EachStep };
bool LinkUp(device::HidChannel& channel, LinkTest test);

// transfer() inside a bracket, with the link tested before the bracket, before the transfer
// and before the bracket is closed; the first failure is returned (0 for a link lost).
template <typename Transfer>
int Bracketed(device::HidChannel& channel, LinkTest link, Transfer&& transfer) {
    if (!LinkUp(channel, link)) {
        return device::result::kNoAnswer;
    }
    ConfigBracket bracket(channel);
    int r = bracket.BeginResult();
    if (r == device::result::kSuccess) {
        r = LinkUp(channel, link) ? transfer() : device::result::kNoAnswer;
    }
    if (r == device::result::kSuccess) {
        r = LinkUp(channel, link) ? bracket.Close() : device::result::kNoAnswer;
    }
    return r;
}

}  // namespace norvane::devices

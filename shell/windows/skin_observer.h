#pragma once

#include "ui/types.h"

#include <functional>
#include <string>

namespace norvane::shell {

// A new background for the main window: a colour, or an image name.
struct SkinChangedParam {
    bool isColour = false;
    ui::Color colour = 0;
    std::string image;
};

using SkinReceiver = std::function<void(const SkinChangedParam&)>;

// Registers a receiver of skin changes for its lifetime (UI thread only).
class SkinReceiverScope {
public:
    explicit SkinReceiverScope(SkinReceiver receiver);
    ~SkinReceiverScope();
    SkinReceiverScope(const SkinReceiverScope&) = delete;
    SkinReceiverScope& operator=(const SkinReceiverScope&) = delete;

private:
    int id_;
};

// Calls every registered receiver with param, in registration order.
void NotifySkinReceivers(const SkinChangedParam& param);

}  // namespace norvane::shell

#include "input/x11_backend.h"

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>
#include <cerrno>

#include <array>
#include <atomic>
#include <mutex>
#include <thread>
#include <utility>

#include "input/hook_messages.h"
#include "input/x11_dead_display.h"
#include "input/x11_keycodes.h"
#include "platform/diag.h"
#include "platform/unique_fd.h"

namespace norvane::input {

namespace {

// Xlib's default handlers end the process; these keep it alive and let the reader see the loss.
int OnXError(Display* /*display*/, XErrorEvent* /*event*/) {
    return 0;
}
int OnXIoError(Display* /*display*/) {
    return 0;
}
void OnXIoErrorExit(Display* /*display*/, void* userData) {
    static_cast<std::atomic<bool>*>(userData)->store(true);
}

void InitXlibOnce() {
    static std::once_flag once;
    std::call_once(once, [] {
        XInitThreads();
        XSetErrorHandler(OnXError);
        XSetIOErrorHandler(OnXIoError);
    });
}

struct DisplayCloser {
    void operator()(Display* d) const {
        if (d != nullptr) {
            XCloseDisplay(d);
        }
    }
};
using DisplayPtr = std::unique_ptr<Display, DisplayCloser>;

// Whether the server closed the connection, seen without letting Xlib read: Xlib's error path
// for a lost connection unlocks its display lock twice.
enum class Peek { Data, Empty, Closed };
Peek PeekConnection(int fd) {
    char byte = 0;
    const ssize_t n = ::recv(fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    if (n > 0) {
        return Peek::Data;
    }
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
        return Peek::Empty;
    }
    return Peek::Closed;
}

const char* NameOrNull(const std::string& name) {
    return name.empty() ? nullptr : name.c_str();
}

bool HasXInput2(Display* display, int& opcode) {
    int event = 0;
    int error = 0;
    if (XQueryExtension(display, "XInputExtension", &opcode, &event, &error) == False) {
        return false;
    }
    // From 2.1 on, raw events reach root-window selections while the keyboard is grabbed.
    int major = 2;
    int minor = 2;
    return XIQueryVersion(display, &major, &minor) == Success && major >= 2;
}

constexpr std::uint32_t kXButtonBack = 1;
constexpr std::uint32_t kXButtonForward = 2;
constexpr int kWheelStep = 120;

// X button numbers to mouse messages: 1 left, 2 middle, 3 right, 4–7 wheel, 8 back, 9 forward.
struct ButtonMessage {
    unsigned message = 0;
    int data = 0;
};
std::optional<ButtonMessage> MessageOfButton(int button, bool press) {
    switch (button) {
        case 1:
            return ButtonMessage{press ? kWmLButtonDown : kWmLButtonUp, 0};
        case 2:
            return ButtonMessage{press ? kWmMButtonDown : kWmMButtonUp, 0};
        case 3:
            return ButtonMessage{press ? kWmRButtonDown : kWmRButtonUp, 0};
        case 4:
            return press ? std::optional(ButtonMessage{kWmMouseWheel, kWheelStep}) : std::nullopt;
        case 5:
            return press ? std::optional(ButtonMessage{kWmMouseWheel, -kWheelStep}) : std::nullopt;
        case 6:
            return press ? std::optional(ButtonMessage{kWmMouseHWheel, -kWheelStep}) : std::nullopt;
        case 7:
            return press ? std::optional(ButtonMessage{kWmMouseHWheel, kWheelStep}) : std::nullopt;
        case 8:
            return ButtonMessage{press ? kWmXButtonDown : kWmXButtonUp, kXButtonBack};
        case 9:
            return ButtonMessage{press ? kWmXButtonDown : kWmXButtonUp, kXButtonForward};
        default:
            return std::nullopt;
    }
}

void HandleEvent(Display* display, XEvent& event, int opcode, Window root, IHookSink& sink) {
    if (event.type == KeyPress || event.type == KeyRelease) {
        sink.OnKey(event.type == KeyPress ? kWmKeyDown : kWmKeyUp,
                   KeyRecordOfXKeycode(event.xkey.keycode, static_cast<std::uint32_t>(event.xkey.time)));
        return;
    }
    if (event.type != GenericEvent || event.xcookie.extension != opcode ||
        XGetEventData(display, &event.xcookie) == False) {
        return;
    }
    const auto* raw = static_cast<const XIRawEvent*>(event.xcookie.data);
    const auto time = static_cast<std::uint32_t>(raw->time);
    switch (event.xcookie.evtype) {
        case XI_RawKeyPress:
        case XI_RawKeyRelease:
            sink.OnKey(event.xcookie.evtype == XI_RawKeyPress ? kWmKeyDown : kWmKeyUp,
                       KeyRecordOfXKeycode(static_cast<unsigned>(raw->detail), time));
            break;
        case XI_RawButtonPress:
        case XI_RawButtonRelease:
        case XI_RawMotion: {
            const std::optional<ButtonMessage> m =
                event.xcookie.evtype == XI_RawMotion
                    ? std::optional(ButtonMessage{kWmMouseMove, 0})
                    : MessageOfButton(raw->detail, event.xcookie.evtype == XI_RawButtonPress);
            if (!m) {
                break;
            }
            Window rootReturn = 0;
            Window child = 0;
            int x = 0;
            int y = 0;
            int wx = 0;
            int wy = 0;
            unsigned state = 0;
            XQueryPointer(display, root, &rootReturn, &child, &x, &y, &wx, &wy, &state);
            sink.OnMouse(m->message, {static_cast<std::int16_t>(x), static_cast<std::int16_t>(y),
                                      static_cast<std::int16_t>(m->data)});
            break;
        }
        default:
            break;
    }
    XFreeEventData(display, &event.xcookie);
}

}  // namespace

struct X11HookBackend::Impl {
    std::string displayName;
    mutable std::mutex mutex;  // guards lastError
    std::string lastError;
    std::thread reader;
    platform::UniqueFd wake;
    std::atomic<bool> running{false};
    std::atomic<bool> ioLost{false};

    void SetError(std::string text) {
        std::lock_guard lock(mutex);
        lastError = std::move(text);
    }
    void Read(DisplayPtr display, int opcode, IHookSink& sink, bool grabbed);
};

X11HookBackend::X11HookBackend(std::string displayName) : impl_(std::make_unique<Impl>()) {
    impl_->displayName = std::move(displayName);
}

X11HookBackend::~X11HookBackend() {
    Stop();
}

bool X11HookBackend::Available(const std::string& displayName) {
    InitXlibOnce();
    DisplayPtr display(XOpenDisplay(NameOrNull(displayName)));
    int opcode = 0;
    return display != nullptr && HasXInput2(display.get(), opcode);
}

bool X11HookBackend::Start(IHookSink& sink, const HookOptions& options) {
    Stop();
    InitXlibOnce();
    impl_->ioLost = false;
    DisplayPtr display(XOpenDisplay(NameOrNull(impl_->displayName)));
    if (display == nullptr) {
        impl_->SetError("cannot open the X display");
        return false;
    }
    XSetIOErrorExitHandler(display.get(), OnXIoErrorExit, &impl_->ioLost);
    int opcode = 0;
    if (!HasXInput2(display.get(), opcode)) {
        impl_->SetError("the X server has no XInput 2");
        return false;
    }
    const Window root = DefaultRootWindow(display.get());
    std::array<unsigned char, XIMaskLen(XI_LASTEVENT)> bits{};
    // A keyboard grab sends its owner core key events instead of raw ones.
    const bool grabKeys = options.keyboard && options.swallowKeys;
    if (options.keyboard && !grabKeys) {
        XISetMask(bits.data(), XI_RawKeyPress);
        XISetMask(bits.data(), XI_RawKeyRelease);
    }
    if (options.mouse) {
        XISetMask(bits.data(), XI_RawButtonPress);
        XISetMask(bits.data(), XI_RawButtonRelease);
        if (options.motion) {
            XISetMask(bits.data(), XI_RawMotion);
        }
    }
    XIEventMask mask{XIAllMasterDevices, static_cast<int>(bits.size()), bits.data()};
    XISelectEvents(display.get(), root, &mask, 1);
    bool grabbed = false;
    if (grabKeys) {
        const int status =
            XGrabKeyboard(display.get(), root, False, GrabModeAsync, GrabModeAsync, CurrentTime);
        if (status != GrabSuccess) {
            impl_->SetError("the keyboard is held by another program (grab status " + std::to_string(status) +
                            ")");
            return false;
        }
        grabbed = true;
    }
    XSync(display.get(), False);
    if (impl_->ioLost) {
        impl_->SetError("the X display went away");
        return false;
    }
    impl_->wake = platform::UniqueFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (!impl_->wake.Valid()) {
        impl_->SetError("eventfd failed");
        return false;
    }
    impl_->SetError({});
    impl_->running = true;
    impl_->reader =
        std::thread(&Impl::Read, impl_.get(), std::move(display), opcode, std::ref(sink), grabbed);
    return true;
}

void X11HookBackend::Impl::Read(DisplayPtr display, int opcode, IHookSink& sink, bool grabbed) {
    const int xfd = ConnectionNumber(display.get());
    const Window root = DefaultRootWindow(display.get());
    bool stopRequested = false;
    while (!stopRequested && !ioLost) {
        for (;;) {
            if (XEventsQueued(display.get(), QueuedAlready) == 0) {
                const Peek peek = PeekConnection(xfd);
                if (peek == Peek::Closed) {
                    ioLost = true;
                }
                if (peek != Peek::Data || XPending(display.get()) == 0) {
                    break;
                }
            }
            if (ioLost) {
                break;
            }
            XEvent event;
            XNextEvent(display.get(), &event);
            HandleEvent(display.get(), event, opcode, root, sink);
        }
        if (ioLost) {
            break;
        }
        std::array<pollfd, 2> fds{{{xfd, POLLIN, 0}, {wake.Get(), POLLIN, 0}}};
        if (poll(fds.data(), fds.size(), -1) < 0) {
            continue;  // interrupted
        }
        if ((fds[1].revents & POLLIN) != 0) {
            stopRequested = true;
        }
    }
    if (ioLost) {
        // The connection is gone, and the server's grab with it.
        MarkDisplayDead(display.get());
        running = false;
        SetError("the X display went away");
        if (platform::diag::Enabled()) {
            platform::diag::Trace("input: X display lost during capture");
        }
        sink.OnStopped(HookStopReason::DisplayLost);
        return;
    }
    if (grabbed) {
        XUngrabKeyboard(display.get(), CurrentTime);
    }
    XSync(display.get(), False);
    running = false;
}

void X11HookBackend::Stop() {
    if (!impl_->reader.joinable()) {
        return;
    }
    const std::uint64_t one = 1;
    // An eventfd write only fails on overflow, when the reader is awake already.
    [[maybe_unused]] const ssize_t written = write(impl_->wake.Get(), &one, sizeof one);
    impl_->reader.join();
    impl_->wake = {};
    impl_->running = false;
}

bool X11HookBackend::IsRunning() const {
    return impl_->running;
}

std::string X11HookBackend::LastError() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->lastError;
}

}  // namespace norvane::input

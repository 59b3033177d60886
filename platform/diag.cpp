#include "platform/diag.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>

namespace norvane::platform::diag {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const {
        if (file != nullptr && file != stderr) {
            std::fclose(file);
        }
    }
};

struct CaptureBuffer {
    std::vector<std::string> lines;
};

class Sink {
public:
    static Sink& Instance() {
        static Sink sink;
        return sink;
    }

    bool Enabled() {
        EnsureConfigured();
        return enabled_.load(std::memory_order_acquire);
    }

    void Configure() {
        const std::scoped_lock lock(mutex_);
        ConfigureLocked();
    }

    void Write(std::string_view line) {
        if (!Enabled()) {
            return;
        }
        std::string text(line);
        for (char& c : text) {
            if (c == '\n' || c == '\r') {
                c = ' ';
            }
        }
        const std::scoped_lock lock(mutex_);
        if (capture_ != nullptr) {
            captured_[capture_].lines.push_back(text);
        }
        if (out_) {
            text.push_back('\n');
            std::fwrite(text.data(), 1, text.size(), out_.get());
            std::fflush(out_.get());
        }
    }

    void PushCapture(ScopedCapture* capture, ScopedCapture** previous) {
        EnsureConfigured();
        const std::scoped_lock lock(mutex_);
        *previous = capture_;
        capture_ = capture;
        captured_[capture];
        UpdateEnabledLocked();
    }

    void PopCapture(ScopedCapture* capture, ScopedCapture* previous) {
        const std::scoped_lock lock(mutex_);
        captured_.erase(capture);
        capture_ = previous;
        UpdateEnabledLocked();
    }

    std::vector<std::string> Captured(const ScopedCapture* capture) {
        const std::scoped_lock lock(mutex_);
        const auto it = captured_.find(capture);
        return it == captured_.end() ? std::vector<std::string>{} : it->second.lines;
    }

private:
    void EnsureConfigured() {
        std::call_once(once_, [this] { Configure(); });
    }

    void ConfigureLocked() {
        out_.reset();
        const char* value = std::getenv("NORVANE_TRACE");
        const std::string_view setting = value == nullptr ? std::string_view{} : std::string_view{value};
        if (setting.empty() || setting == "0") {
            // silent
        } else if (setting == "1") {
            out_.reset(stderr);
        } else {
            out_.reset(std::fopen(value, "ae"));
        }
        UpdateEnabledLocked();
    }

    void UpdateEnabledLocked() {
        enabled_.store(out_ != nullptr || capture_ != nullptr, std::memory_order_release);
    }

    std::once_flag once_;
    std::mutex mutex_;
    std::atomic<bool> enabled_{false};
    std::unique_ptr<std::FILE, FileCloser> out_;
    ScopedCapture* capture_ = nullptr;
    std::map<const ScopedCapture*, CaptureBuffer> captured_;
};

}  // namespace

bool Enabled() {
    return Sink::Instance().Enabled();
}

void Trace(std::string_view line) {
    Sink::Instance().Write(line);
}

void ConfigureFromEnvironment() {
    Sink::Instance().Configure();
}

ScopedCapture::ScopedCapture() {
    Sink::Instance().PushCapture(this, &previous_);
}

ScopedCapture::~ScopedCapture() {
    Sink::Instance().PopCapture(this, previous_);
}

std::vector<std::string> ScopedCapture::Lines() const {
    return Sink::Instance().Captured(this);
}

}  // namespace norvane::platform::diag

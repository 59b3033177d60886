// norvane: the main window. Options:
//   --simulate[=PRODUCTS]  simulated devices (default keyboard,mouse,mousepad,headset)
//   --version, --help
//   --screenshot PNG       with --quit-after: save the main window as an image before ending
//   --quit-after MS        end on its own after MS milliseconds
//   --report-shown         print "shown <monotonic seconds>" on stderr when the window is first exposed
//   --hide-when-shown      with --report-shown: then close to the tray (the title bar's close button)
//   --animate              with --report-shown: then put every device on the light sync
#include "app/shown_report.h"
#include "app/ui_script.h"
#include "device/hidraw_backend.h"
#include "devices/audio/alsa_audio_library.h"
#include "devices/audio/audio_library.h"
#include "devices/audio/pipewire_equaliser.h"
#include "devices/audio/simulated_library.h"
#include "devices/usb_device.h"
#include "platform/diag.h"
#include "platform/ipc/dbus/dbus_bus.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "platform/unique_fd.h"
#include "shell/device_list/same_mode.h"
#include "shell/device_list/sync_effects.h"
#include "shell/startup.h"
#include "sim/sim_backend.h"
#include "sim/sim_control.h"
#include "ui/qt/qt_platform.h"

#include <sys/signalfd.h>
#include <unistd.h>
#include <QApplication>
#include <QImage>
#include <QMetaObject>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace {

constexpr std::string_view kDefaultSimulation = "keyboard,mouse,mousepad,headset";

struct Options {
    std::optional<std::string> simulate;
    std::string screenshot;
    int quitAfterMs = -1;
    bool reportShown = false;
    bool hideWhenShown = false;
    bool animate = false;
};

void PrintUsage(std::FILE* out) {
    static_cast<void>(
        std::fputs("usage: norvane [--simulate[=PRODUCTS]] [--version] [--help]\n"
                   "--simulate runs against simulated devices (default: keyboard,mouse,mousepad,headset)\n",
                   out));
}

// 0 to go on, else the exit code (+1).
int Parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--version") {
            std::printf("norvane %s\n", norvane::platform::InstalledVersionText().c_str());
            return 1;
        }
        if (arg == "--help" || arg == "-h") {
            PrintUsage(stdout);
            return 1;
        }
        if (arg == "--simulate") {
            o.simulate = std::string(kDefaultSimulation);
        } else if (arg.starts_with("--simulate=")) {
            o.simulate = std::string(arg.substr(11));
            if (o.simulate->empty()) {
                o.simulate = std::string(kDefaultSimulation);
            }
        } else if (arg == "--screenshot" && i + 1 < argc) {
            o.screenshot = argv[++i];
        } else if (arg == "--report-shown") {
            o.reportShown = true;
        } else if (arg == "--hide-when-shown") {
            o.hideWhenShown = true;
        } else if (arg == "--animate") {
            o.animate = true;
        } else if (arg == "--quit-after" && i + 1 < argc) {
            o.quitAfterMs = std::atoi(argv[++i]);
        } else {
            static_cast<void>(std::fprintf(stderr, "norvane: unknown option '%s'\n", argv[i]));
            PrintUsage(stderr);
            return 3;
        }
    }
    if (!o.screenshot.empty() && o.quitAfterMs < 0) {
        static_cast<void>(std::fputs("norvane: --screenshot needs --quit-after\n", stderr));
        return 3;
    }
    return 0;
}

// Qt's own platforms need a display; the offscreen and minimal ones do not.
bool DisplayMissing() {
    // Read before any thread starts.
    const char* qpa = std::getenv("QT_QPA_PLATFORM");  // NOLINT(concurrency-mt-unsafe)
    const std::string_view platform = qpa != nullptr ? qpa : "";
    if (platform.starts_with("offscreen") || platform.starts_with("minimal") || platform.starts_with("vnc")) {
        return false;
    }
    const char* x11 = std::getenv("DISPLAY");              // NOLINT(concurrency-mt-unsafe)
    const char* wayland = std::getenv("WAYLAND_DISPLAY");  // NOLINT(concurrency-mt-unsafe)
    return (x11 == nullptr || x11[0] == '\0') && (wayland == nullptr || wayland[0] == '\0');
}

// SIGTERM and SIGINT as a readable descriptor, blocked before any thread starts so that
// every thread inherits the mask.
norvane::platform::UniqueFd BlockStopSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    if (::pthread_sigmask(SIG_BLOCK, &set, nullptr) != 0) {
        return norvane::platform::UniqueFd{};
    }
    return norvane::platform::UniqueFd(::signalfd(-1, &set, SFD_CLOEXEC | SFD_NONBLOCK));
}

// The title bar's close button: hides the window and suspends the devices' status polls.
void CloseToTray(norvane::shell::CMainWnd& window) {
    if (auto* close = window.FindControl("closebtn"); close != nullptr) {
        window.PaintManager().SendNotify(close, "click");
    } else {
        window.ShowWindow(false);
    }
}

// Gives the current device the colour cycle and puts every open device on the light sync with it.
void StartSameMode(norvane::shell::CMainWnd& window) {
    auto* current = window.CurrentDevice();
    bool started = false;
    if (current != nullptr && window.List() != nullptr) {
        norvane::config::LightInfo state = current->LightState();
        state.selectedMode =
            norvane::shell::DeviceEffectOf(current->Kind(), norvane::shell::SyncEffect::ColourCycle);
        const auto words = norvane::devices::LightInfoToWords(state);
        current->SetLightState(words[0], words[1], words[2], words[3]);
        started = window.List()->ApplySameMode(*current);
    }
    static_cast<void>(std::fprintf(stderr, "norvane: light sync %s\n", started ? "started" : "not started"));
}

// A "ui" step of the simulator control: checked on the bus thread, carried out on the UI thread
// once the window runs.
std::optional<norvane::platform::ipc::Refusal> QueueUiStep(const std::string& text,
                                                           norvane::shell::CMainWnd*& window) {
    auto step = norvane::app::ParseUiStep(text);
    if (!step) {
        return norvane::platform::ipc::Refusal{std::string(norvane::platform::ipc::kErrorInvalidArgs),
                                               "not a ui step: " + text};
    }
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [step = *step, &window] {
            if (window == nullptr) {
                return;
            }
            const auto failed = norvane::app::RunUiStep(*window, step);
            norvane::platform::diag::Trace("norvane: ui step " + step.control + " " + step.value + " " +
                                           (failed ? "failed: " + *failed : std::string("done")));
        },
        Qt::QueuedConnection);
    return std::nullopt;
}

// The "dump" of the simulator control: a simulated device's macro memory and key table as hex
// on the trace output.
std::optional<norvane::platform::ipc::Refusal> DumpDevice(norvane::sim::SimBackend& simulator,
                                                          const std::string& product) {
    norvane::sim::SimDevice* device = simulator.Find(product);
    if (device == nullptr) {
        return norvane::platform::ipc::Refusal{std::string(norvane::platform::ipc::kErrorInvalidArgs),
                                               "no simulated " + product};
    }
    const auto hex = [](const std::vector<std::uint8_t>& bytes) {
        static constexpr char kDigits[] = "0123456789abcdef";
        std::string text;
        text.reserve(bytes.size() * 2);
        for (const std::uint8_t b : bytes) {
            text += kDigits[b >> 4];
            text += kDigits[b & 0x0F];
        }
        return text;
    };
    device->WithFirmware([&](norvane::sim::FirmwareModel& firmware) {
        norvane::platform::diag::Trace("norvane: sim " + product + " macro memory " +
                                       hex(firmware.MacroMemory()));
        norvane::platform::diag::Trace("norvane: sim " + product + " key table " + hex(firmware.KeyTable()));
    });
    return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
    namespace platform = norvane::platform;
    Options o;
    if (const int code = Parse(argc, argv, o); code != 0) {
        return code - 1;
    }
    std::printf("norvane %s%s\n", platform::InstalledVersionText().c_str(),
                o.simulate ? " (simulated devices)" : "");
    std::printf("program folder: %s\n", platform::ProgramFolder().c_str());
    const auto data = platform::UserDataFolder();
    if (data.empty()) {
        static_cast<void>(std::fputs("norvane: the per-user data folder cannot be created\n", stderr));
        return 1;
    }
    std::printf("data folder:    %s\n", data.c_str());
    static_cast<void>(std::fflush(stdout));

    if (DisplayMissing()) {
        static_cast<void>(std::fputs(
            "norvane: no display: neither DISPLAY nor WAYLAND_DISPLAY is set. Start it in a desktop session "
            "(or under xvfb-run); norvane-ctl works without one.\n",
            stderr));
        return 1;
    }

    std::unique_ptr<norvane::device::HidBackend> backend;
    norvane::sim::SimBackend* simulator = nullptr;
    std::shared_ptr<norvane::devices::audio::SimulatedAudio> simulatedAudio;
    if (o.simulate) {
        std::string error;
        auto sim = norvane::sim::MakeSimBackend(*o.simulate, error);
        if (!sim) {
            static_cast<void>(std::fprintf(stderr, "norvane: %s\n", error.c_str()));
            return 2;
        }
        simulator = sim.get();
        backend = std::move(sim);
        simulatedAudio = norvane::devices::audio::MakeSimulatedHeadsetAudio();
        norvane::devices::audio::SetAudioLibraryFactory(
            norvane::devices::audio::SimulatedAudioFactory(simulatedAudio));
    } else {
        backend = std::make_unique<norvane::device::HidrawBackend>();
        norvane::devices::audio::SetEqualiserFactory(norvane::devices::audio::MakePipeWireEqualiser);
        norvane::devices::audio::SetAudioLibraryFactory(norvane::devices::audio::MakeAlsaAudioLibrary);
    }

    platform::UniqueFd stopSignals = BlockStopSignals();
    norvane::ui::qt::QtPlatform::MakeProcessDpiAware();
    QApplication app(argc, argv);
    norvane::ui::qt::QtPlatform ui;

    // The window the "ui" steps of the simulator control act on; UI thread only.
    norvane::shell::CMainWnd* scriptWindow = nullptr;
    auto bus = platform::ipc::dbus::Connect();
    if (simulator != nullptr) {
        // Runs on the bus thread; the simulated devices lock themselves, and the device scan
        // sees the change on its next pass. The bus ends before the simulator.
        bus->SetSimControl(
            [simulator, simulatedAudio, &scriptWindow](
                const platform::ipc::SimControlRequest& request) -> std::optional<platform::ipc::Refusal> {
                if (request.action == "ui") {
                    return QueueUiStep(request.product, scriptWindow);
                }
                if (request.action == "dump") {
                    return DumpDevice(*simulator, request.product);
                }
                if (auto reason =
                        norvane::sim::ApplySimControl(*simulator, request.action, request.product)) {
                    return platform::ipc::Refusal{std::string(platform::ipc::kErrorInvalidArgs), *reason};
                }
                // The headset's sound devices come and go with it.
                const norvane::sim::SimDevice* device = simulator->Find(request.product);
                if (device != nullptr && device->Spec().name == "headset") {
                    simulatedAudio->SetPlugged(device->Plugged());
                }
                return std::nullopt;
            });
    }
    const auto claim = bus->ClaimInstance();
    if (claim != platform::ipc::InstanceClaim::kPrimary) {
        std::printf("norvane: already running (%s)\n", std::string(platform::ipc::Describe(claim)).c_str());
        return 0;
    }
    platform::diag::Trace("norvane: single instance through " + bus->Describe());

    norvane::shell::Program::Options options;
    options.programFolder = platform::ProgramFolder();
    options.window.backend = backend.get();
    options.window.bus = bus.get();
    options.window.audioCapture = norvane::shell::FindAudioCaptureProgram();
    norvane::shell::Program program(ui, options);
    if (!program.Start()) {
        static_cast<void>(
            std::fputs("norvane: the main window could not be built (is the skin folder there?)\n", stderr));
        return 1;
    }
    norvane::shell::CMainWnd& window = *program.Window();

    std::unique_ptr<QSocketNotifier> stopNotifier;
    if (stopSignals.Get() >= 0) {
        stopNotifier = std::make_unique<QSocketNotifier>(stopSignals.Get(), QSocketNotifier::Read);
        QObject::connect(stopNotifier.get(), &QSocketNotifier::activated, [&] {
            signalfd_siginfo info{};
            while (::read(stopSignals.Get(), &info, sizeof info) == sizeof info) {
            }
            window.Exit();
        });
    }
    std::unique_ptr<norvane::app::ShownReport> shown;
    if (o.reportShown) {
        shown = std::make_unique<norvane::app::ShownReport>([&] {
            if (o.animate) {
                StartSameMode(window);
            }
            if (o.hideWhenShown) {
                CloseToTray(window);
            }
        });
        app.installEventFilter(shown.get());
    }
    if (o.quitAfterMs >= 0) {
        QTimer::singleShot(o.quitAfterMs, [&] {
            if (!o.screenshot.empty()) {
                window.PaintManager().UpdateLayout();
                const QImage image = norvane::ui::qt::RenderWindow(window);
                const bool saved = image.save(QString::fromStdString(o.screenshot));
                std::printf("norvane: screenshot %s %dx%d, window %s\n",
                            saved ? o.screenshot.c_str() : "not saved", image.width(), image.height(),
                            window.IsWindowVisible() ? "shown" : "hidden");
                static_cast<void>(std::fflush(stdout));
            }
            window.Exit();
        });
    }
    scriptWindow = &window;
    const int code = program.Run();
    scriptWindow = nullptr;
    stopNotifier.reset();
    program.Shutdown();
    return code;
}

#include "platform/ipc/dbus/dbus_bus.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVirtualObject>
#include <QObject>
#include <QSocketNotifier>
#include <QThread>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>

#include "platform/diag.h"
#include "platform/ipc/event_relay.h"
#include "platform/ipc/instance_lock.h"
#include "platform/unique_fd.h"

namespace norvane::platform::ipc::dbus {
namespace {

constexpr const char* kLogindService = "org.freedesktop.login1";
constexpr const char* kLogindPath = "/org/freedesktop/login1";
constexpr const char* kLogindInterface = "org.freedesktop.login1.Manager";
constexpr const char* kPrepareForSleep = "PrepareForSleep";

QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
std::string S(const QString& text) {
    return text.toStdString();
}

// A connection name no other bus object of this process uses.
QString NewConnectionName(const char* kind) {
    static std::atomic<unsigned> counter{0};
    return QStringLiteral("norvane-%1-%2").arg(QLatin1String(kind)).arg(counter.fetch_add(1));
}

// ---- Arguments --------------------------------------------------------------------------

WireArg ToWire(const QVariant& value) {
    switch (value.metaType().id()) {
        case QMetaType::UInt:
            return std::uint32_t{value.toUInt()};
        case QMetaType::Int:
            return std::int32_t{value.toInt()};
        case QMetaType::LongLong:
            return std::int64_t{value.toLongLong()};
        case QMetaType::ULongLong:
            return std::uint64_t{value.toULongLong()};
        case QMetaType::Bool:
            return value.toBool();
        case QMetaType::QString:
            return S(value.toString());
        case QMetaType::QByteArray: {
            const QByteArray bytes = value.toByteArray();
            return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
        }
        default:
            break;
    }
    if (value.metaType() == QMetaType::fromType<QDBusArgument>()) {
        return OtherArg{S(value.value<QDBusArgument>().currentSignature())};
    }
    const char* signature = QDBusMetaType::typeToSignature(value.metaType());
    return OtherArg{signature != nullptr ? signature : "?"};
}

WireArgs ToWire(const QList<QVariant>& values) {
    WireArgs args;
    args.reserve(static_cast<std::size_t>(values.size()));
    for (const QVariant& value : values) {
        args.push_back(ToWire(value));
    }
    return args;
}

QVariant FromWire(const WireArg& arg) {
    return std::visit(
        [](const auto& value) -> QVariant {
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, std::uint32_t>) {
                return QVariant::fromValue(static_cast<uint>(value));
            } else if constexpr (std::is_same_v<T, std::int32_t>) {
                return QVariant::fromValue(static_cast<int>(value));
            } else if constexpr (std::is_same_v<T, std::int64_t>) {
                return QVariant::fromValue(static_cast<qlonglong>(value));
            } else if constexpr (std::is_same_v<T, std::uint64_t>) {
                return QVariant::fromValue(static_cast<qulonglong>(value));
            } else if constexpr (std::is_same_v<T, bool>) {
                return QVariant::fromValue(value);
            } else if constexpr (std::is_same_v<T, std::string>) {
                return QVariant::fromValue(QString::fromStdString(value));
            } else if constexpr (std::is_same_v<T, std::vector<std::uint8_t>>) {
                return QVariant::fromValue(QByteArray(reinterpret_cast<const char*>(value.data()),
                                                      static_cast<qsizetype>(value.size())));
            } else {
                // Only the types above can be sent; a double stands in for anything else.
                return QVariant::fromValue(0.0);
            }
        },
        arg);
}

QList<QVariant> FromWire(const WireArgs& args) {
    QList<QVariant> values;
    for (const WireArg& arg : args) {
        values.push_back(FromWire(arg));
    }
    return values;
}

// ---- The Qt thread of one bus ---------------------------------------------------------------

// Runs a Qt event loop on a thread of its own, so that D-Bus calls and signals are served
// whatever the caller's main thread does. Work is handed over through a locked queue and an
// eventfd the thread watches, not through Qt's event queue, so that the hand-over is visible
// to ThreadSanitizer.
class Worker {
public:
    Worker() : wake_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
        thread_.setObjectName(QStringLiteral("norvane-ipc"));
        // Runs on the new thread as it starts: the notifier must be made there.
        QObject::connect(
            &thread_, &QThread::started, &thread_,
            [this] {
                auto* notifier =
                    new QSocketNotifier(static_cast<qintptr>(wake_.Get()), QSocketNotifier::Read);
                QObject::connect(notifier, &QSocketNotifier::activated, [this] { Drain(); });
                const std::scoped_lock lock(mutex_);
                notifier_ = notifier;
                started_.notify_all();
            },
            Qt::DirectConnection);
        thread_.start();
        std::unique_lock lock(mutex_);
        started_.wait(lock, [this] { return notifier_ != nullptr; });
    }
    ~Worker() {
        Run([this] {
            notifier_->deleteLater();  // deleted as the thread ends; it may be emitting now
            QThread::currentThread()->quit();
        });
        thread_.wait();
        // QThread::wait synchronises through Qt's own futexes; taking the queue lock the thread
        // released last makes everything the thread did visible here to ThreadSanitizer too.
        const std::scoped_lock lock(mutex_);
    }
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    [[nodiscard]] bool OnThread() const { return QThread::currentThread() == &thread_; }

    // Runs `work` on the thread and waits for it to finish.
    void Run(std::function<void()> work) {
        if (OnThread()) {
            work();
            return;
        }
        auto done = std::make_shared<Done>();
        {
            const std::scoped_lock lock(mutex_);
            queue_.emplace_back([work = std::move(work), done] {
                work();
                const std::scoped_lock doneLock(done->mutex);
                done->finished = true;
                done->changed.notify_all();
            });
        }
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(wake_.Get(), &one, sizeof(one));
        std::unique_lock lock(done->mutex);
        done->changed.wait(lock, [&] { return done->finished; });
    }

private:
    struct Done {
        std::mutex mutex;
        std::condition_variable changed;
        bool finished = false;
    };

    void Drain() {
        std::uint64_t count = 0;
        [[maybe_unused]] const ssize_t n = ::read(wake_.Get(), &count, sizeof(count));
        for (;;) {
            std::function<void()> work;
            {
                const std::scoped_lock lock(mutex_);
                if (queue_.empty()) {
                    return;
                }
                work = std::move(queue_.front());
                queue_.pop_front();
            }
            work();
        }
    }

    UniqueFd wake_;
    QThread thread_;
    std::mutex mutex_;
    std::condition_variable started_;
    QSocketNotifier* notifier_ = nullptr;  // lives on the thread; set once under mutex_
    std::deque<std::function<void()>> queue_;
};

// ---- Objects served ---------------------------------------------------------------------------

// Answers org.freedesktop.DBus.Introspectable.Introspect for a virtual object (QtDBus hands
// those calls to the object like any other); false for any other call.
bool AnswerIntrospect(const QDBusMessage& message, const QDBusConnection& connection,
                      const QString& interfaces) {
    if (message.interface() != QLatin1String("org.freedesktop.DBus.Introspectable") ||
        message.member() != QLatin1String("Introspect")) {
        return false;
    }
    const QString xml =
        QStringLiteral(
            "<!DOCTYPE node PUBLIC \"-//freedesktop//DTD D-BUS Object Introspection 1.0//EN\"\n"
            "\"http://www.freedesktop.org/standards/dbus/1.0/introspect.dtd\">\n<node>\n"
            "<interface name=\"org.freedesktop.DBus.Introspectable\"><method name=\"Introspect\">"
            "<arg name=\"xml_data\" type=\"s\" direction=\"out\"/></method></interface>\n"
            "<interface name=\"org.freedesktop.DBus.Peer\"><method name=\"Ping\"/>"
            "<method name=\"GetMachineId\"><arg name=\"machine_uuid\" type=\"s\" "
            "direction=\"out\"/></method></interface>\n") +
        interfaces + QStringLiteral("</node>\n");
    connection.send(message.createReply(QVariant::fromValue(xml)));
    return true;
}

// The program's object: every call is checked by DecodeProgramCall and answered at once; an
// accepted one becomes an Event.
class ProgramObject final : public QDBusVirtualObject {
public:
    explicit ProgramObject(EventRelay<Event>& relay) : relay_(relay) {}

    void SetSimControl(SimControlHandler handler) {
        const std::scoped_lock lock(simMutex_);
        sim_ = std::move(handler);
    }

    QString introspect(const QString& path) const override;

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (message.type() != QDBusMessage::MethodCallMessage) {
            return false;
        }
        if (AnswerIntrospect(message, connection, introspect(message.path()))) {
            return true;
        }
        if (message.member() == Q(kSimControlMethod) && AnswerSimControl(message, connection)) {
            return true;
        }
        auto decoded =
            DecodeProgramCall(S(message.interface()), S(message.member()), ToWire(message.arguments()));
        if (auto* refusal = std::get_if<Refusal>(&decoded)) {
            if (diag::Enabled()) {
                diag::Trace("ipc: refused " + S(message.member()) + " from " + S(message.service()) + ": " +
                            refusal->message);
            }
            connection.send(message.createErrorReply(Q(refusal->error), Q(refusal->message)));
            return true;
        }
        connection.send(message.createReply());
        if (auto* event = std::get_if<Event>(&decoded)) {
            if (diag::Enabled()) {
                diag::Trace("ipc: " + Describe(*event) + " from " + S(message.service()));
            }
            relay_.Deliver(std::move(*event));
        }
        return true;
    }

private:
    // False while no handler is installed: the method then does not exist. The handler runs
    // under the lock, so that once SetSimControl({}) returns it never runs.
    bool AnswerSimControl(const QDBusMessage& message, const QDBusConnection& connection) {
        const std::scoped_lock lock(simMutex_);
        if (!sim_) {
            return false;
        }
        auto request = DecodeSimControlCall(S(message.interface()), ToWire(message.arguments()));
        std::optional<Refusal> refusal;
        if (auto* bad = std::get_if<Refusal>(&request)) {
            refusal = std::move(*bad);
        } else {
            refusal = sim_(std::get<SimControlRequest>(request));
        }
        if (refusal) {
            diag::Trace("ipc: refused SimControl: " + refusal->message);
            connection.send(message.createErrorReply(Q(refusal->error), Q(refusal->message)));
        } else {
            const auto& done = std::get<SimControlRequest>(request);
            diag::Trace("ipc: SimControl(" + done.action + ", " + done.product + ")");
            connection.send(message.createReply());
        }
        return true;
    }

    EventRelay<Event>& relay_;
    std::mutex simMutex_;
    SimControlHandler sim_;
};

QString ProgramObject::introspect(const QString&) const {
    QString xml = QStringLiteral("<interface name=\"%1\">\n").arg(Q(kInterface));
    xml += QStringLiteral("<method name=\"%1\"/>\n").arg(Q(kActivateMethod));
    const auto twoNumbers = [&](std::string_view name, const char* first, const char* second) {
        xml += QStringLiteral(
                   "<method name=\"%1\"><arg name=\"%2\" type=\"u\" direction=\"in\"/>"
                   "<arg name=\"%3\" type=\"u\" direction=\"in\"/></method>\n")
                   .arg(Q(name), QLatin1String(first), QLatin1String(second));
    };
    twoNumbers(kExternalForwardMethod, "first", "second");
    twoNumbers(kLightControlMethod, "first", "second");
    xml += QStringLiteral("<method name=\"%1\"/>\n").arg(Q(kDeviceReportMethod));
    for (const std::string_view name :
         {kGameStartMethod, kGameEndMethod, kGameKillMethod, kGameDeathMethod}) {
        twoNumbers(name, "phase", "light_mode");
    }
    xml += QStringLiteral(
               "<method name=\"%1\"><arg name=\"kind\" type=\"u\" direction=\"in\"/>"
               "<arg name=\"block\" type=\"ay\" direction=\"in\"/></method>\n")
               .arg(Q(kAudioDataMethod));
    xml += QStringLiteral(
               "<signal name=\"%1\"><arg name=\"first\" type=\"u\"/><arg name=\"second\" "
               "type=\"u\"/></signal>\n")
               .arg(Q(kLightStatusSignal));
    xml += QStringLiteral("</interface>\n");
    return xml;
}

// A peer's object (the companion's or the test tool's).
class PeerObject final : public QDBusVirtualObject {
public:
    PeerObject(PeerRole role, EventRelay<PeerEvent>& relay) : role_(role), relay_(relay) {}

    QString introspect(const QString&) const override {
        if (role_ == PeerRole::kAudioRecord) {
            return QStringLiteral(
                       "<interface name=\"%1\"><method name=\"Command\"><arg name=\"code\" type=\"u\" "
                       "direction=\"in\"/>"
                       "<arg name=\"value\" type=\"u\" direction=\"in\"/></method>"
                       "<method name=\"CopyData\"><arg name=\"kind\" type=\"u\" direction=\"in\"/>"
                       "<arg name=\"block\" type=\"ay\" direction=\"in\"/></method></interface>\n")
                .arg(Q(kAudioRecordInterface));
        }
        return QStringLiteral(
                   "<interface name=\"%1\"><method name=\"CopyData\"><arg name=\"kind\" type=\"u\" "
                   "direction=\"in\"/>"
                   "<arg name=\"block\" type=\"ay\" direction=\"in\"/></method></interface>\n")
            .arg(Q(kTestToolInterface));
    }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (message.type() != QDBusMessage::MethodCallMessage) {
            return false;
        }
        if (AnswerIntrospect(message, connection, introspect(message.path()))) {
            return true;
        }
        const WireArgs args = ToWire(message.arguments());
        auto decoded = role_ == PeerRole::kAudioRecord
                           ? DecodeAudioRecordCall(S(message.interface()), S(message.member()), args)
                           : DecodeTestToolCall(S(message.interface()), S(message.member()), args);
        if (auto* refusal = std::get_if<Refusal>(&decoded)) {
            connection.send(message.createErrorReply(Q(refusal->error), Q(refusal->message)));
            return true;
        }
        connection.send(message.createReply());
        if (auto* event = std::get_if<PeerEvent>(&decoded)) {
            relay_.Deliver(std::move(*event));
        }
        return true;
    }

private:
    PeerRole role_;
    EventRelay<PeerEvent>& relay_;
};

// Receives the signals a bus object listens to; the slots take the raw message so that its
// arguments pass the same checks as calls.
class SignalReceiver final : public QObject {
    Q_OBJECT
public:
    std::function<void(const QDBusMessage&)> onSignal;

public Q_SLOTS:
    void Receive(const QDBusMessage& message) {
        if (onSignal) {
            onSignal(message);
        }
    }
};

// ---- The program's bus --------------------------------------------------------------------

class DBusBus final : public IBus {
public:
    explicit DBusBus(const Options& options) : options_(options), lock_(options.lockFolder) {
        if (QCoreApplication::instance() == nullptr) {
            diag::Trace("ipc: no QCoreApplication: D-Bus not used, lock file only");
            return;
        }
        worker_ = std::make_unique<Worker>();
        worker_->Run([this] { ConnectOnWorker(); });
    }

    ~DBusBus() override {
        if (worker_) {
            worker_->Run([this] {
                if (session_) {
                    session_->unregisterObject(Q(kObjectPath));
                    if (ownsName_) {
                        session_->interface()->unregisterService(Q(kBusName));
                    }
                    session_.reset();
                    QDBusConnection::disconnectFromBus(sessionName_);
                }
                if (system_) {
                    system_.reset();
                    QDBusConnection::disconnectFromBus(systemName_);
                }
                program_.reset();
                power_.reset();
            });
            worker_.reset();
        }
    }

    void SetEventHandler(EventHandler handler) override { relay_.SetHandler(std::move(handler)); }

    InstanceClaim ClaimInstance() override {
        if (session_) {
            bool primary = false;
            worker_->Run([&] { primary = TakeName(); });
            if (!primary) {
                return WakeOwner() ? InstanceClaim::kWokeRunning : InstanceClaim::kRunningNotWoken;
            }
        }
        // Also the lock file: a copy that runs without a session bus holds only that.
        switch (lock_.Acquire([this] { relay_.Deliver(ActivateEvent{}); })) {
            case InstanceLock::Result::kAcquired:
            case InstanceLock::Result::kUnavailable:
                return InstanceClaim::kPrimary;
            case InstanceLock::Result::kWokeRunning:
                ReleaseName();
                return InstanceClaim::kWokeRunning;
            case InstanceLock::Result::kRunningNotWoken:
                ReleaseName();
                return InstanceClaim::kRunningNotWoken;
        }
        return InstanceClaim::kPrimary;
    }

    void SetSimControl(SimControlHandler handler) override {
        if (program_) {
            program_->SetSimControl(std::move(handler));
        }
    }

    bool BroadcastLightStatus(bool controlling) override {
        if (!session_) {
            return false;
        }
        QDBusMessage signal =
            QDBusMessage::createSignal(Q(kObjectPath), Q(kInterface), Q(kLightStatusSignal));
        signal.setArguments(FromWire(LightStatusArgs(controlling)));
        return session_->send(signal);
    }

    bool AudioRecordPresent() override { return session_ && NameHasOwner(kAudioRecordBusName); }

    bool SendAudioCommand(AudioCommand code, std::uint32_t value) override {
        const auto raw = static_cast<std::uint32_t>(code);
        if (!IsValidAudioCommand(raw, value)) {
            return false;
        }
        return CallPeer(kAudioRecordBusName, kAudioRecordPath, kAudioRecordInterface, kCommandMethod,
                        {raw, value});
    }

    bool SendAudioColour(std::span<const std::uint8_t> block) override {
        if (block.size() != kAudioColourBytes) {
            return false;
        }
        return CallPeer(kAudioRecordBusName, kAudioRecordPath, kAudioRecordInterface, kCopyDataMethod,
                        {kAudioColourKind, std::vector<std::uint8_t>(block.begin(), block.end())});
    }

    bool SendDeviceReport(std::span<const std::uint8_t> block) override {
        if (block.size() != kDeviceReportBytes) {
            return false;
        }
        return CallPeer(kTestToolBusName, kTestToolPath, kTestToolInterface, kCopyDataMethod,
                        {kDeviceReportKind, std::vector<std::uint8_t>(block.begin(), block.end())});
    }

    [[nodiscard]] std::string Describe() const override {
        std::string text = session_ ? "session bus" : "lock file only";
        text += system_ ? ", power watch on" : ", no power watch";
        return text;
    }

private:
    void ConnectOnWorker() {
        sessionName_ = NewConnectionName("session");
        QDBusConnection session =
            options_.sessionAddress.empty()
                ? QDBusConnection::connectToBus(QDBusConnection::SessionBus, sessionName_)
                : QDBusConnection::connectToBus(Q(options_.sessionAddress), sessionName_);
        if (session.isConnected()) {
            session_ = std::make_unique<QDBusConnection>(session);
            program_ = std::make_unique<ProgramObject>(relay_);
        } else {
            diag::Trace("ipc: no session bus (" + S(session.lastError().message()) + "): lock file only");
            QDBusConnection::disconnectFromBus(sessionName_);
        }
        if (!options_.watchPower) {
            return;
        }
        systemName_ = NewConnectionName("system");
        QDBusConnection system = options_.systemAddress.empty()
                                     ? QDBusConnection::connectToBus(QDBusConnection::SystemBus, systemName_)
                                     : QDBusConnection::connectToBus(Q(options_.systemAddress), systemName_);
        if (!system.isConnected()) {
            diag::Trace("ipc: no system bus (" + S(system.lastError().message()) + "): no power events");
            QDBusConnection::disconnectFromBus(systemName_);
            return;
        }
        power_ = std::make_unique<SignalReceiver>();
        power_->onSignal = [this](const QDBusMessage& message) { OnPrepareForSleep(message); };
        // Naming the service makes QtDBus drop the signal unless logind's owner sent it.
        if (!system.connect(QLatin1String(kLogindService), QLatin1String(kLogindPath),
                            QLatin1String(kLogindInterface), QLatin1String(kPrepareForSleep), power_.get(),
                            SLOT(Receive(QDBusMessage)))) {
            diag::Trace("ipc: cannot watch PrepareForSleep: no power events");
        }
        system_ = std::make_unique<QDBusConnection>(system);
    }

    void OnPrepareForSleep(const QDBusMessage& message) {
        const WireArgs args = ToWire(message.arguments());
        if (SignatureOf(args) != "b") {
            diag::Trace("ipc: PrepareForSleep with arguments (" + SignatureOf(args) + ") ignored");
            return;
        }
        const bool suspending = std::get<bool>(args[0]);
        diag::Trace(suspending ? "ipc: suspend" : "ipc: resume");
        relay_.Deliver(PowerEvent{suspending ? PowerChange::kSuspend : PowerChange::kResume});
    }

    // On the worker: serve the object, then ask for the name (in that order, so that a second
    // copy that sees the name owned can call Activate at once).
    bool TakeName() {
        if (!session_->registerVirtualObject(Q(kObjectPath), program_.get())) {
            diag::Trace("ipc: cannot serve " + std::string(kObjectPath));
        }
        const auto reply =
            session_->interface()->registerService(Q(kBusName), QDBusConnectionInterface::DontQueueService,
                                                   QDBusConnectionInterface::DontAllowReplacement);
        if (reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered) {
            ownsName_ = true;
            diag::Trace("ipc: owns " + std::string(kBusName));
            return true;
        }
        session_->unregisterObject(Q(kObjectPath));
        return false;
    }

    void ReleaseName() {
        if (!session_ || !ownsName_) {
            return;
        }
        worker_->Run([this] {
            session_->unregisterObject(Q(kObjectPath));
            session_->interface()->unregisterService(Q(kBusName));
            ownsName_ = false;
        });
    }

    bool WakeOwner() {
        QDBusMessage call =
            QDBusMessage::createMethodCall(Q(kBusName), Q(kObjectPath), Q(kInterface), Q(kActivateMethod));
        call.setAutoStartService(false);
        const QDBusMessage reply =
            session_->call(call, QDBus::Block, static_cast<int>(options_.callTimeout.count()));
        if (reply.type() != QDBusMessage::ReplyMessage) {
            diag::Trace("ipc: the running copy did not answer Activate: " + S(reply.errorMessage()));
            return false;
        }
        return true;
    }

    bool NameHasOwner(std::string_view name) {
        const auto reply = session_->interface()->isServiceRegistered(Q(name));
        return reply.isValid() && reply.value();
    }

    bool CallPeer(std::string_view service, std::string_view path, std::string_view interface,
                  std::string_view method, const WireArgs& args) {
        if (!session_) {
            return false;
        }
        QDBusMessage call = QDBusMessage::createMethodCall(Q(service), Q(path), Q(interface), Q(method));
        call.setArguments(FromWire(args));
        call.setAutoStartService(false);
        const QDBusMessage reply =
            session_->call(call, QDBus::Block, static_cast<int>(options_.callTimeout.count()));
        if (reply.type() != QDBusMessage::ReplyMessage) {
            if (diag::Enabled()) {
                diag::Trace("ipc: " + std::string(method) + " to " + std::string(service) +
                            " failed: " + S(reply.errorMessage()));
            }
            return false;
        }
        return true;
    }

    const Options options_;
    EventRelay<Event> relay_;
    InstanceLock lock_;
    std::unique_ptr<Worker> worker_;
    // Made on the worker in the constructor, then only read; QDBusConnection is thread-safe.
    QString sessionName_;
    QString systemName_;
    std::unique_ptr<QDBusConnection> session_;
    std::unique_ptr<QDBusConnection> system_;
    // Made and destroyed on the worker, where they live.
    std::unique_ptr<ProgramObject> program_;
    std::unique_ptr<SignalReceiver> power_;
    std::atomic<bool> ownsName_{false};
};

// ---- A peer ---------------------------------------------------------------------------------------

class DBusPeer final : public IPeer {
public:
    DBusPeer(PeerRole role, const std::string& address) : role_(role) {
        worker_ = std::make_unique<Worker>();
        worker_->Run([&] { ConnectOnWorker(address); });
    }

    ~DBusPeer() override {
        worker_->Run([this] {
            if (session_) {
                session_.reset();
                QDBusConnection::disconnectFromBus(name_);
            }
            object_.reset();
            receiver_.reset();
        });
        worker_.reset();
    }

    [[nodiscard]] bool Ready() const { return ready_; }

    void SetEventHandler(PeerEventHandler handler) override { relay_.SetHandler(std::move(handler)); }

    CallResult CallProgram(std::string_view method, const WireArgs& args) override {
        QDBusMessage call =
            QDBusMessage::createMethodCall(Q(kBusName), Q(kObjectPath), Q(kInterface), Q(method));
        call.setArguments(FromWire(args));
        call.setAutoStartService(false);
        const QDBusMessage reply = session_->call(call, QDBus::Block, 1500);
        if (reply.type() == QDBusMessage::ReplyMessage) {
            return {true, {}, {}};
        }
        return {false, S(reply.errorName()), S(reply.errorMessage())};
    }

    bool PostToProgram(std::string_view method, const WireArgs& args) override {
        QDBusMessage call =
            QDBusMessage::createMethodCall(Q(kBusName), Q(kObjectPath), Q(kInterface), Q(method));
        call.setArguments(FromWire(args));
        call.setAutoStartService(false);
        return session_->send(call);
    }

    bool ProgramPresent() override {
        const auto reply = session_->interface()->isServiceRegistered(Q(kBusName));
        return reply.isValid() && reply.value();
    }

private:
    void ConnectOnWorker(const std::string& address) {
        name_ = NewConnectionName("peer");
        QDBusConnection session = address.empty()
                                      ? QDBusConnection::connectToBus(QDBusConnection::SessionBus, name_)
                                      : QDBusConnection::connectToBus(Q(address), name_);
        if (!session.isConnected()) {
            QDBusConnection::disconnectFromBus(name_);
            return;
        }
        session_ = std::make_unique<QDBusConnection>(session);
        receiver_ = std::make_unique<SignalReceiver>();
        receiver_->onSignal = [this](const QDBusMessage& message) {
            auto decoded = DecodeLightStatusSignal(ToWire(message.arguments()));
            if (auto* event = std::get_if<PeerEvent>(&decoded)) {
                relay_.Deliver(std::move(*event));
            }
        };
        // Only from the owner of the program's name: a LightStatus from anyone else is dropped.
        session.connect(Q(kBusName), Q(kObjectPath), Q(kInterface), Q(kLightStatusSignal), receiver_.get(),
                        SLOT(Receive(QDBusMessage)));
        if (role_ != PeerRole::kObserver) {
            const bool audio = role_ == PeerRole::kAudioRecord;
            object_ = std::make_unique<PeerObject>(role_, relay_);
            session.registerVirtualObject(Q(audio ? kAudioRecordPath : kTestToolPath), object_.get());
            const auto reply = session.interface()->registerService(
                Q(audio ? kAudioRecordBusName : kTestToolBusName), QDBusConnectionInterface::DontQueueService,
                QDBusConnectionInterface::DontAllowReplacement);
            if (!reply.isValid() || reply.value() != QDBusConnectionInterface::ServiceRegistered) {
                return;
            }
        }
        ready_ = true;
    }

    const PeerRole role_;
    EventRelay<PeerEvent> relay_;
    std::unique_ptr<Worker> worker_;
    QString name_;
    std::unique_ptr<QDBusConnection> session_;
    // Made and destroyed on the worker, where they live.
    std::unique_ptr<PeerObject> object_;
    std::unique_ptr<SignalReceiver> receiver_;
    bool ready_ = false;
};

}  // namespace

std::unique_ptr<IBus> Connect(const Options& options) {
    return std::make_unique<DBusBus>(options);
}

std::unique_ptr<IPeer> ConnectPeer(PeerRole role, const std::string& sessionAddress) {
    if (QCoreApplication::instance() == nullptr) {
        return nullptr;
    }
    auto peer = std::make_unique<DBusPeer>(role, sessionAddress);
    if (!peer->Ready()) {
        return nullptr;
    }
    return peer;
}

}  // namespace norvane::platform::ipc::dbus

#if defined(__SANITIZE_THREAD__)
// Qt, GLib (Qt's event dispatcher) and libdbus are not built with ThreadSanitizer: they hand
// data between threads through futexes the tool cannot see, so what they allocate, lock or
// call on one thread and use on another looks like a race. Reports with their frames on the
// stack are not judged here; the hand-overs of our own (EventRelay, EventQueue, the lock
// file, the worker's queue) are checked without Qt in norvane_ipc_tests.
extern "C" const char* __tsan_default_suppressions() {
    return "race:libQt6Core.so.6\n"
           "race:libQt6DBus.so.6\n"
           "race:libglib-2.0.so.0\n"
           "race:libdbus-1.so.3\n"
           // libdbus takes its own connection locks in both orders while closing a connection.
           "deadlock:libdbus-1.so.3\n"
           "deadlock:libQt6DBus.so.6\n";
}
#endif

#include "dbus_bus.moc"

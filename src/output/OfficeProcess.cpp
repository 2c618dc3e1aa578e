#include "output/OfficeProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QThread>
#include <QUrl>
#include <cerrno>
#include <chrono>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace output {

namespace {

using Clock = std::chrono::steady_clock;
using css::uno::Reference;

// A fresh profile is set up by the first start, which then exits with this code to be
// started again.
constexpr int kRestartExitCode = 81;
constexpr int kMaxRestarts = 2;
// The office answers after 4 to 6 seconds on a loaded machine; allow for much worse.
constexpr auto kStartTimeout = std::chrono::seconds(90);
constexpr auto kStopTimeout = std::chrono::seconds(15);
constexpr unsigned long kPollIntervalMs = 25;

QString ProfileUrl(const QString& folder) {
    return QUrl::fromLocalFile(folder + QStringLiteral("/profile")).toString();
}

// The office listens on two local sockets under /tmp: the pipe it was told to accept on, and
// one for handing requests to an office of the same profile, named by the MD5 sum of the
// profile's URL (UTF-16, each byte in hex without leading zeros). An office that ends
// normally removes both; a killed one leaves them behind.
QString PipePath(const QString& name) {
    return QStringLiteral("/tmp/OSL_PIPE_%1_%2").arg(::getuid()).arg(name);
}

QStringList PipeFiles(const QString& folder, const QString& pipeName) {
    const QString url = ProfileUrl(folder);
    const QByteArray digest = QCryptographicHash::hash(
        QByteArray(reinterpret_cast<const char*>(url.utf16()), url.size() * 2),
        QCryptographicHash::Md5);
    QString hash;
    for (const char byte : digest)
        hash += QString::number(static_cast<unsigned char>(byte), 16);
    QStringList files = {PipePath(QStringLiteral("SingleOfficeIPC_") + hash)};
    if (!pipeName.isEmpty())
        files.append(PipePath(pipeName));
    return files;
}

// Offices not stopped yet. When this program exits without stopping one (exit() during a
// run), the static destructor kills it; a crash or a kill of this program is covered by the
// parent-death signal of the office process, and the next start clears up after it.
class LiveOffices {
public:
    static LiveOffices& instance() {
        static LiveOffices offices;
        return offices;
    }
    void add(pid_t pid, const QString& folder, const QStringList& pipes) {
        std::vector<std::string>& paths = offices_[pid];
        paths = {folder.toStdString()};
        for (const QString& pipe : pipes)
            paths.push_back(pipe.toStdString());
    }
    void remove(pid_t pid) { offices_.erase(pid); }
    ~LiveOffices() {
        for (const auto& [pid, paths] : offices_) {
            ::killpg(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
            std::error_code ignored;
            for (const std::string& path : paths)
                std::filesystem::remove_all(path, ignored);
        }
    }

private:
    // Each office with its folder and pipes.
    std::map<pid_t, std::vector<std::string>> offices_;
};

const QString kFolderPrefix = QStringLiteral("veltar-office-");
const QString kPipePrefix = QStringLiteral("veltar_");

// True when `name` (prefix, program id, "-" or "_", ...) is that of a folder or pipe of a
// program that has ended.
bool OwnerEnded(const QString& name, const QString& prefix) {
    bool ok = false;
    const QString rest = name.mid(prefix.size());
    const pid_t owner =
        rest.left(rest.indexOf(QRegularExpression(QStringLiteral("[-_]")))).toInt(&ok);
    return ok && owner > 0 && ::kill(owner, 0) != 0 && errno == ESRCH;
}

// What the offices of killed or crashed copies of this program left: folders and pipes.
void RemoveLeftovers() {
    const QDir temp(QDir::tempPath());
    const QStringList folders =
        temp.entryList({kFolderPrefix + QLatin1Char('*')}, QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& name : folders) {
        if (!OwnerEnded(name, kFolderPrefix))
            continue;
        const QString folder = temp.filePath(name);
        for (const QString& pipe : PipeFiles(folder, {}))
            QFile::remove(pipe);
        QDir(folder).removeRecursively();
    }
    const QString pipePrefix = QFileInfo(PipePath(kPipePrefix)).fileName();
    const QDir pipes(QStringLiteral("/tmp"));
    for (const QString& name : pipes.entryList({pipePrefix + QLatin1Char('*')}, QDir::System)) {
        if (OwnerEnded(name, pipePrefix))
            QFile::remove(pipes.filePath(name));
    }
}

QString FolderTemplate() {
    return QDir::tempPath() + QLatin1Char('/') + kFolderPrefix + QString::number(::getpid()) +
           QStringLiteral("-XXXXXX");
}

// The office's environment: its own home, configuration, cache and temporary folders, and no
// display.
QProcessEnvironment OfficeEnvironment(const QString& folder) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), folder + QStringLiteral("/home"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), folder + QStringLiteral("/home/.config"));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), folder + QStringLiteral("/home/.cache"));
    environment.insert(QStringLiteral("TMPDIR"), folder + QStringLiteral("/tmp"));
    environment.insert(QStringLiteral("SAL_USE_VCLPLUGIN"), QStringLiteral("svp"));
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("SESSION_MANAGER"));
    return environment;
}

// Keeps the byte strings alive while their pointers are handed to execve.
struct CStrings {
    std::vector<QByteArray> strings;
    std::vector<char*> pointers;

    explicit CStrings(std::vector<QByteArray> values) : strings(std::move(values)) {
        for (QByteArray& value : strings)
            pointers.push_back(value.data());
        pointers.push_back(nullptr);
    }
};

QString UniquePipeName() {
    return QStringLiteral("%1%2_%3")
        .arg(kPipePrefix)
        .arg(::getpid())
        .arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0'));
}

QString LogTail(const QString& folder) {
    QFile log(folder + QStringLiteral("/office.log"));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    const QByteArray text = log.readAll();
    return QString::fromLocal8Bit(text.right(2000)).trimmed();
}

}  // namespace

std::unique_ptr<OfficeProcess> OfficeProcess::start(const QString& programFolder, QString* detail,
                                                    const std::function<void()>& whileWaiting) {
    const QString program = programFolder + QStringLiteral("/soffice.bin");
    if (!QFileInfo(program).isExecutable()) {
        *detail = QStringLiteral("%1 not found").arg(program);
        return nullptr;
    }
    const Reference<css::uno::XComponentContext> local = uno::LocalContext(programFolder, detail);
    if (!local.is())
        return nullptr;
    RemoveLeftovers();
    std::unique_ptr<OfficeProcess> office(new OfficeProcess(FolderTemplate()));
    if (!office->folder_.isValid()) {
        *detail = QStringLiteral("cannot create a temporary folder: %1")
                      .arg(office->folder_.errorString());
        return nullptr;
    }
    office->pipeName_ = UniquePipeName();
    for (const char* sub : {"profile", "tmp", "home"})
        QDir(office->folder()).mkpath(QLatin1String(sub));
    if (!office->spawn(program, detail) || !office->connect(local, program, detail, whileWaiting)) {
        office->stop();
        return nullptr;
    }
    return office;
}

OfficeProcess::OfficeProcess(const QString& folderTemplate) : folder_(folderTemplate) {}

OfficeProcess::~OfficeProcess() {
    stop();
}

bool OfficeProcess::spawn(const QString& program, QString* detail) {
    const QString profileUrl =
        QUrl::fromLocalFile(folder() + QStringLiteral("/profile")).toString();
    CStrings arguments(
        {QFile::encodeName(program), "--headless", "--invisible", "--nologo", "--norestore",
         "--nodefault", "--nolockcheck",
         ("--accept=pipe,name=" + pipeName_ + ";urp;StarOffice.ComponentContext").toUtf8(),
         ("-env:UserInstallation=" + profileUrl).toUtf8()});
    std::vector<QByteArray> variables;
    for (const QString& variable : OfficeEnvironment(folder()).toStringList())
        variables.push_back(variable.toLocal8Bit());
    CStrings environment(std::move(variables));
    const QByteArray logPath = QFile::encodeName(folder() + QStringLiteral("/office.log"));
    const int log = ::open(logPath.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    const pid_t parent = ::getpid();

    const pid_t pid = ::fork();
    if (pid == 0) {
        // Only async-signal-safe calls until execve.
        ::setpgid(0, 0);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(127);
        const int null = ::open("/dev/null", O_RDONLY);
        ::dup2(null, STDIN_FILENO);
        ::dup2(log >= 0 ? log : null, STDOUT_FILENO);
        ::dup2(log >= 0 ? log : null, STDERR_FILENO);
        // Nothing of this program (the database lock above all) may stay open in the office.
        ::close_range(3, ~0U, 0);
        ::execve(arguments.pointers[0], arguments.pointers.data(), environment.pointers.data());
        ::_exit(127);
    }
    if (log >= 0)
        ::close(log);
    if (pid < 0) {
        *detail = QStringLiteral("fork failed: %1").arg(qt_error_string(errno));
        return false;
    }
    ::setpgid(pid, pid);
    pid_ = pid;
    ended_ = false;
    LiveOffices::instance().add(pid, folder(), PipeFiles(folder(), pipeName_));
    return true;
}

bool OfficeProcess::connect(const Reference<css::uno::XComponentContext>& local,
                            const QString& program, QString* detail,
                            const std::function<void()>& whileWaiting) {
    const rtl::OUString url =
        uno::ToOUString("uno:pipe,name=" + pipeName_ + ";urp;StarOffice.ComponentContext");
    int restarts = 0;
    const auto deadline = Clock::now() + kStartTimeout;
    try {
        const Reference<css::bridge::XUnoUrlResolver> resolver =
            css::bridge::UnoUrlResolver::create(local);
        while (Clock::now() < deadline) {
            try {
                context_.set(resolver->resolve(url), css::uno::UNO_QUERY_THROW);
                desktop_ = css::frame::Desktop::create(context_);
                return true;
            } catch (const css::connection::NoConnectException&) {
                // Not listening yet.
            } catch (const css::uno::RuntimeException& e) {
                // The connection broke while the office was still starting: try again
                // while it runs.
                *detail = uno::ExceptionText(e);
            }
            if (!isRunning()) {
                if (exitCode_ != kRestartExitCode || ++restarts > kMaxRestarts) {
                    *detail = QStringLiteral("the office exited with code %1: %2")
                                  .arg(exitCode_)
                                  .arg(LogTail(folder()));
                    return false;
                }
                if (!spawn(program, detail))
                    return false;
            }
            if (whileWaiting)
                whileWaiting();
            QThread::msleep(kPollIntervalMs);
        }
        *detail = QStringLiteral("the office did not answer within %1 s")
                      .arg(std::chrono::seconds(kStartTimeout).count());
    } catch (const css::uno::Exception& e) {
        *detail = uno::ExceptionText(e);
    }
    return false;
}

bool OfficeProcess::isRunning() {
    if (pid_ <= 0 || ended_)
        return false;
    siginfo_t info{};
    // Looked at without reaping first: while the ended leader is not reaped its group id
    // cannot be reused, so whatever is left in its group can still be killed safely.
    if (::waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOHANG | WNOWAIT) != 0)
        return false;
    if (info.si_pid != pid_)
        return true;
    reap();
    return false;
}

void OfficeProcess::reap() {
    ::killpg(pid_, SIGKILL);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    ended_ = true;
    LiveOffices::instance().remove(pid_);
}

void OfficeProcess::stop() {
    // An office that refuses to end (a document vetoes) is killed at once; one that agreed
    // is given time to finish.
    bool agreed = false;
    if (desktop_.is() && isRunning()) {
        try {
            agreed = desktop_->terminate();
        } catch (const css::uno::Exception&) {
            // The office going away under the call is the expected answer.
            agreed = true;
        }
    }
    desktop_.clear();
    context_.clear();
    const auto deadline = Clock::now() + kStopTimeout;
    while (agreed && isRunning() && Clock::now() < deadline)
        QThread::msleep(10);
    if (isRunning())
        reap();
    if (folder_.isValid()) {
        for (const QString& pipe : PipeFiles(folder(), pipeName_))
            QFile::remove(pipe);
    }
    folder_.remove();
}

}  // namespace output

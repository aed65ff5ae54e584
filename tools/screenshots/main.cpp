// Pictures of Zanfeld's windows for the README: every page of both sorting
// windows, the same-name question, a preview, the record of runs and the
// dialogs, each rendered with QWidget::grab() into a PNG file.
//
//   QT_QPA_PLATFORM=offscreen zanfeld_screenshots <output folder>
//
// The windows work on a tree the program makes for itself. Where the system
// allows it, that happens in a mount namespace of the program's own, under a
// root on a fresh tmpfs that holds only the system's own folders (read-only)
// and /home/ming, so the pictures read /home/ming and the folder tree shows
// nothing of the machine. Elsewhere the tree goes into a temporary folder.
// Settings, run journal and Trash are pointed into the tree as well: the
// user's own are never opened.

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QCollator>
#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileSystemModel>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QLineEdit>
#include <QLinearGradient>
#include <QLocale>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QTextBrowser>
#include <QThread>
#include <QTimer>
#include <QTreeView>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "AppSetup.h"
#include "AppWindows.h"
#include "SortPlans.h"
#include "StoredOptions.h"
#include "WatchedFolders.h"
#include "FilePickers.h"
#include "HomeFolder.h"
#include "MessageBoxes.h"
#include "ModalDialogs.h"
#include "PreviewWindow.h"
#include "ReplaceQuestion.h"
#include "SettingsFile.h"
#include "Unit1.h"
#include "Unit3.h"
#include "Unit4.h"
#include "Unit5.h"
#include "Unit6.h"

namespace {

namespace fs = std::filesystem;
using namespace zanfeld;

// The child's exit status when the system refuses the private namespace.
constexpr int kNoNamespace = 75;
// The user the pictures show.
constexpr const char* kUser = "ming";

// The temporary folder of the second way, removed however the program ends.
std::string g_temporaryTree;

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "zanfeld_screenshots: %s\n", what.c_str());
    std::fflush(nullptr);
    if (!g_temporaryTree.empty()) {
        std::error_code ignored;
        fs::remove_all(g_temporaryTree, ignored);
    }
    // Not exit(): the windows' destructors could wait on a run still going.
    std::_Exit(1);
}

QString Q(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

// ---------------------------------------------------------------------------
// A root of the program's own

bool WriteSmallFile(const char* path, const std::string& text) {
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::close(fd);
    return ok;
}

// Brings the system's folder name into root; read-only where asked, as far
// as the system lets a bind mount be made so.
bool BindInto(const std::string& root, const std::string& name, bool readOnly) {
    const std::string from = "/" + name;
    const std::string to = root + "/" + name;
    if (::mkdir(to.c_str(), 0755) != 0) return false;
    if (::mount(from.c_str(), to.c_str(), nullptr, MS_BIND | MS_REC, nullptr) != 0) return false;
    if (!readOnly) return true;
    // A remount inside a user namespace may add restrictions, never drop one.
    struct statvfs vfs;
    if (::statvfs(from.c_str(), &vfs) != 0) return true;
    unsigned long flags = MS_REMOUNT | MS_BIND | MS_RDONLY;
    if (vfs.f_flag & ST_NOSUID) flags |= MS_NOSUID;
    if (vfs.f_flag & ST_NODEV) flags |= MS_NODEV;
    if (vfs.f_flag & ST_NOEXEC) flags |= MS_NOEXEC;
    if (vfs.f_flag & ST_NOATIME) flags |= MS_NOATIME;
    if (vfs.f_flag & ST_NODIRATIME) flags |= MS_NODIRATIME;
    if (vfs.f_flag & ST_RELATIME) flags |= MS_RELATIME;
    ::mount(nullptr, to.c_str(), nullptr, flags, nullptr);
    return true;
}

// Enters a mount namespace of this process's own and, in it, a root on a
// fresh tmpfs that holds the folders every Debian system has: the system's
// own read-only (/usr for Qt and the fonts, /etc, /var), /dev and /proc as
// they are, the rest empty. Nothing of it is seen outside this process, and
// it goes when the process ends. False where the system refuses.
bool EnterPrivateRoot() {
    const uid_t uid = ::getuid();
    const gid_t gid = ::getgid();
    if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) return false;
    const std::string user = std::to_string(uid) + " " + std::to_string(uid) + " 1";
    const std::string group = std::to_string(gid) + " " + std::to_string(gid) + " 1";
    if (!WriteSmallFile("/proc/self/setgroups", "deny") ||
        !WriteSmallFile("/proc/self/uid_map", user) ||
        !WriteSmallFile("/proc/self/gid_map", group)) {
        return false;
    }
    // Nothing mounted from here on may reach the system's own mount table.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return false;
    const std::string root = "/tmp";
    if (::mount("zanfeld-screenshots", root.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "mode=0755") !=
        0) {
        return false;
    }
    for (const char* name : {"usr", "etc", "var"}) {
        if (!BindInto(root, name, true)) return false;
    }
    for (const char* name : {"dev", "proc"}) {
        if (!BindInto(root, name, false)) return false;
    }
    // On a merged /usr these are links into it; elsewhere folders of their own.
    for (const char* name : {"bin", "sbin", "lib", "lib32", "lib64", "libx32"}) {
        const std::string from = std::string("/") + name;
        struct stat st;
        if (::lstat(from.c_str(), &st) != 0) continue;
        if (S_ISLNK(st.st_mode)) {
            char target[4096];
            const ssize_t n = ::readlink(from.c_str(), target, sizeof target - 1);
            if (n <= 0) return false;
            target[n] = '\0';
            if (::symlink(target, (root + from).c_str()) != 0) return false;
        } else if (S_ISDIR(st.st_mode) && !BindInto(root, name, true)) {
            return false;
        }
    }
    for (const char* name : {"boot", "home", "media", "mnt", "opt", "run", "srv", "sys"}) {
        if (::mkdir((root + "/" + name).c_str(), 0755) != 0) return false;
    }
    if (::mkdir((root + "/root").c_str(), 0700) != 0) return false;
    if (::mkdir((root + "/tmp").c_str(), 0755) != 0 || ::chmod((root + "/tmp").c_str(), 01777) != 0)
        return false;
    return ::chdir(root.c_str()) == 0 && ::chroot(".") == 0 && ::chdir("/") == 0;
}

// ---------------------------------------------------------------------------
// The tree the windows work on

struct Tree {
    std::string home;
    std::string downloads;  // the files of the file window's list
    std::string desktop;    // a few more, added one by one
    std::string projects;   // the folders of the folder window's list
    std::string output;     // the output folder of both windows
    // A file of the output folder and a newer one of the same name, for the
    // same-name question; its name is long enough for the question's line to
    // give the two files' details room.
    std::string questionTarget;
    std::string questionSource;
};

void SetTimes(const std::string& path, int daysAgo, int hour, int minute) {
    std::time_t now = std::time(nullptr);
    std::tm day{};
    ::localtime_r(&now, &day);
    day.tm_mday -= daysAgo;
    day.tm_hour = hour;
    day.tm_min = minute;
    day.tm_sec = 12;
    day.tm_isdst = -1;
    const struct timespec when = {std::mktime(&day), 0};
    const struct timespec times[2] = {when, when};
    if (::utimensat(AT_FDCWD, path.c_str(), times, 0) != 0)
        Fail("cannot set the times of " + path + ": " + std::strerror(errno));
}

void MakeFolder(const std::string& path) {
    std::error_code error;
    fs::create_directories(path, error);
    if (error) Fail("cannot make " + path + ": " + error.message());
}

// A file of the given size (its bytes are never looked at, so it is sparse).
void MakeFile(const std::string& path, std::uintmax_t size, int daysAgo, int hour = 10,
              int minute = 24) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0 || ::ftruncate(fd, static_cast<off_t>(size)) != 0)
        Fail("cannot make " + path + ": " + std::strerror(errno));
    ::close(fd);
    SetTimes(path, daysAgo, hour, minute);
}

// A real picture, so the picture page's probe would find its size.
void MakePicture(const std::string& path, int width, int height, int daysAgo) {
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, height);
    sky.setColorAt(0, QColor(0x4a, 0x90, 0xd9));
    sky.setColorAt(1, QColor(0xf2, 0xc1, 0x4e));
    painter.fillRect(image.rect(), sky);
    painter.end();
    if (!image.save(Q(path))) Fail("cannot write the picture " + path);
    SetTimes(path, daysAgo, 18, 40);
}

Tree MakeTree(const std::string& home) {
    Tree t;
    t.home = home;
    t.downloads = home + "/下载";
    t.desktop = home + "/桌面";
    t.projects = home + "/项目";
    t.output = home + "/分拣结果";
    for (const std::string& dir : {t.downloads, t.desktop, t.projects, t.output + "/.pdf"})
        MakeFolder(dir);

    const std::string& d = t.downloads;
    MakeFile(d + "/2024年租房合同.pdf", 245'760, 21, 9, 5);
    MakeFile(d + "/合同发票汇总.xlsx", 38'912, 12, 16, 30);
    MakeFile(d + "/会议纪要-0315.docx", 52'224, 9, 11, 2);
    MakeFile(d + "/年度报告2023.pptx", 3'565'158, 30, 15, 47);
    MakeFile(d + "/Quarterly report Q3.pdf", 1'258'291, 6, 14, 18);
    MakeFile(d + "/setup-notes.txt", 3'114, 4, 20, 11);
    MakeFile(d + "/旅行计划.txt", 2'048, 3, 22, 36);
    MakeFile(d + "/song-demo.mp3", 4'299'161, 15, 19, 3);
    MakeFile(d + "/项目预算.xlsx", 65'536, 1, 8, 50);
    MakePicture(d + "/holiday-photo.jpg", 1920, 1080, 8);
    MakePicture(d + "/家庭合影.png", 1280, 960, 5);
    // The invoice is in the output folder already, an older copy of it.
    // The invoice is in the output folder already: the preview numbers it.
    MakeFile(d + "/发票0412.pdf", 201'331, 2, 9, 41);
    MakeFile(t.output + "/.pdf/发票0412.pdf", 187'904, 33, 17, 8);

    t.questionSource = t.desktop + "/办公用品采购发票0412.pdf";
    t.questionTarget = t.output + "/.pdf/办公用品采购发票0412.pdf";
    MakeFile(t.questionSource, 201'331, 2, 9, 41);
    MakeFile(t.questionTarget, 187'904, 33, 17, 8);
    MakePicture(t.desktop + "/截图 2024-05-06.png", 1366, 768, 2);
    MakeFile(t.desktop + "/budget-draft.docx", 24'576, 1, 13, 15);

    const std::string& p = t.projects;
    for (const char* dir : {"/客户A-合同", "/客户B-发票", "/2023年度照片", "/website-redesign"})
        MakeFolder(p + dir);
    MakeFile(p + "/客户A-合同/合同正本.pdf", 311'296, 40);
    MakeFile(p + "/客户A-合同/补充协议.docx", 28'672, 35);
    MakeFile(p + "/客户B-发票/发票清单.xlsx", 45'056, 18);
    MakeFile(p + "/2023年度照片/IMG_0001.jpg", 2'411'724, 200);
    MakeFile(p + "/2023年度照片/IMG_0002.jpg", 2'203'648, 199);
    MakeFile(p + "/website-redesign/index.html", 8'192, 25);
    MakeFile(p + "/website-redesign/style.css", 4'096, 25);
    return t;
}

// Everything the windows read from the environment points into the tree.
void PointEnvironmentAt(const std::string& home, const std::string& runtime) {
    setenv("HOME", home.c_str(), 1);
    setenv("USER", kUser, 1);
    setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
    setenv("XDG_STATE_HOME", (home + "/.local/state").c_str(), 1);
    setenv("XDG_DATA_HOME", (home + "/.local/share").c_str(), 1);
    setenv("XDG_CACHE_HOME", (home + "/.cache").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    MakeFolder(home + "/.config");
    MakeFolder(runtime);
    ::chmod(runtime.c_str(), 0700);

    // The offscreen screen is 800 x 600 unless told otherwise, and message
    // boxes take their width from the screen: a common desktop's is given.
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty() || platform == "offscreen") {
        const std::string config = runtime + "/offscreen.json";
        const int fd = ::open(config.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        const std::string screen =
            R"({"screens": [{"name": "Screen", "x": 0, "y": 0, "width": 1920, "height": 1080,)"
            R"( "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})";
        if (fd < 0 || ::write(fd, screen.data(), screen.size()) != ssize_t(screen.size()))
            Fail("cannot write " + config);
        ::close(fd);
        setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).c_str(), 1);
    }
}

// ---------------------------------------------------------------------------
// Taking the pictures

class Camera {
  public:
    explicit Camera(int outFd) : m_outFd(outFd) {}

    void take(QWidget& widget, const char* name) {
        settle();
        const QImage image = widget.grab().toImage();
        if (image.isNull()) Fail(std::string("nothing to see for ") + name);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (!image.save(&buffer, "PNG")) Fail(std::string("cannot encode ") + name);
        const int fd = ::openat(m_outFd, name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0) Fail(std::string("cannot write ") + name + ": " + std::strerror(errno));
        const bool written =
            ::write(fd, bytes.constData(), size_t(bytes.size())) == ssize_t(bytes.size());
        if (::close(fd) != 0 || !written) Fail(std::string("cannot write ") + name);
        std::printf("%-26s %4d x %-4d %s\n", name, image.width(), image.height(),
                    qPrintable(widget.objectName()));
        ++m_taken;
    }
    int taken() const { return m_taken; }

    // Lets the toolkit lay out and paint what the last steps changed.
    static void settle() {
        for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    }

  private:
    int m_outFd;
    int m_taken = 0;
};

// Lets events run until condition holds, for work the toolkit does on
// threads of its own that tell no end (the folder tree's reading and sorting).
bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 15000) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

// Presses a button that starts a run (a sort, a preview or an undo) and
// waits for the window's runFinished.
void RunAndWait(SortWindow& window, QPushButton* button) {
    bool ended = false;
    QEventLoop loop;
    const auto connection = QObject::connect(&window, &SortWindow::runFinished, &loop, [&] {
        ended = true;
        loop.quit();
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, &loop, &QEventLoop::quit);
    button->click();
    if (!ended) {
        watchdog.start(120000);
        loop.exec();
    }
    QObject::disconnect(connection);
    if (!ended) Fail("the run of " + button->text().toStdString() + " did not end");
}

// The boxes a step showed are printed; one that reports a fault stops the
// pictures, which would show a window in a state nobody meant.
void CheckBoxes(const char* step) {
    for (const MessageBoxes::Shown& box : MessageBoxes::shown()) {
        std::printf("  %s: %s\n", step, qPrintable(box.text));
        if (box.kind == MessageBoxes::Kind::Error || box.kind == MessageBoxes::Kind::Warning)
            Fail(std::string(step) + " reported a fault: " + box.text.toStdString());
    }
    MessageBoxes::clearShown();
}

int UnexpectedDialog(QDialog& dialog) {
    // A real modal loop would wait for a click that never comes.
    Fail("a dialog nobody expected: " + dialog.objectName().toStdString());
}

// Plays the user's part on the next modal dialog: shows it, has act look at
// it and answer, and hides it again.
void OnNextDialog(std::function<int(QDialog&)> act) {
    ModalDialogs::setScript([act = std::move(act)](QDialog& dialog) {
        ModalDialogs::setScript(UnexpectedDialog);
        dialog.show();
        Camera::settle();
        const int result = act(dialog);
        dialog.hide();
        return result;
    });
}

// The first showing of the add-directory dialog reads the folders down to
// the home folder and opens it; the picture waits until every folder above
// it is read and sorted and the home folder is in view.
void WaitForFolderTree(TForm3& dialog, const std::string& home) {
    QFileSystemModel& model = *dialog.ShellModel;
    QTreeView& tree = *dialog.ShellTreeView1;
    QCollator collator;
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<std::string> above;
    for (fs::path up = fs::path(home).parent_path();; up = up.parent_path()) {
        above.push_back(up.string());
        if (up == up.root_path()) break;
    }
    const auto readAndSorted = [&](const std::string& folder) {
        int folders = 0;
        std::error_code error;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
            const std::string name = entry.path().filename().string();
            std::error_code isDir;
            if (name[0] != '.' && entry.is_directory(isDir)) ++folders;
        }
        const QModelIndex parent = model.index(Q(folder));
        if (model.rowCount(parent) != folders) return false;
        for (int row = 1; row < folders; ++row) {
            if (collator.compare(model.index(row - 1, 0, parent).data().toString(),
                                 model.index(row, 0, parent).data().toString()) > 0)
                return false;
        }
        return true;
    };
    const QModelIndex homeIndex = model.index(Q(home));
    const bool ready = WaitFor([&] {
        for (const std::string& folder : above)
            if (!readAndSorted(folder)) return false;
        const QRect shown = tree.visualRect(homeIndex);
        return !shown.isEmpty() && tree.viewport()->rect().contains(shown) &&
               tree.currentIndex() == homeIndex;
    });
    if (!ready) std::fprintf(stderr, "zanfeld_screenshots: the folder tree was still loading\n");
}

// Makes a font that writes Chinese (WenQuanYi Micro Hei, which install-deps
// puts in, where there) the application font, so Latin and Chinese text
// match, and makes sure it has the glyphs: without them every Chinese
// character would be a box.
void UseChineseFont() {
    const QStringList families = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
    QString family;
    for (const QString& f : families) {
        if (f.startsWith(QLatin1String("WenQuanYi Micro Hei")) &&
            !f.contains(QLatin1String("Mono")))
            family = f;
    }
    if (family.isEmpty() && !families.isEmpty()) family = families.front();
    if (family.isEmpty()) {
        Fail(
            "no font that writes Chinese: install fonts-wqy-microhei (scripts/install-deps); "
            "without one the pictures would show boxes");
    }
    QFont font = QApplication::font();
    font.setFamily(family);
    QApplication::setFont(font);
    const QFontInfo used(QApplication::font());
    if (used.family() != family) {
        Fail("Qt does not use the Chinese font " + family.toStdString() + " (it uses " +
             used.family().toStdString() + ")");
    }
    const QFontMetrics metrics(QApplication::font());
    for (const char32_t c : std::u32string(U"文件分拣夹目录开始处理预览撤销记录是否覆盖")) {
        if (!metrics.inFontUcs4(c))
            Fail("the font " + family.toStdString() + " lacks Chinese glyphs");
    }
    std::printf("font: %s, %g pt\n", qPrintable(family), QApplication::font().pointSizeF());
}

// ---------------------------------------------------------------------------
// The windows

int Render(int outFd, const std::string& home, const std::string& runtime) {
    PointEnvironmentAt(home, runtime);
    // Never the user's settings: the windows read and write the tree's.
    const std::string settings = DefaultSettingsPath();
    if (settings.rfind(home + "/", 0) != 0)
        Fail("the settings would not be the tree's: " + settings);

    static int argc = 1;
    static char name[] = "zanfeld";
    static char* argv[] = {name, nullptr};
    // The offscreen platform notes every fixed-size window and every raise;
    // that is noise here.
    qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& text) {
            if (text.contains(QLatin1String("This plugin does not support"))) return;
            std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
        });
    QApplication app(argc, argv);
    if (!SetUpApplication(app)) {
        Fail(
            "Qt's Chinese translations (qt6-translations-l10n) are missing: the standard "
            "buttons would read Yes and No");
    }
    UseChineseFont();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        std::printf("screen: %d x %d\n", screen->geometry().width(), screen->geometry().height());
    }
    // Dates and numbers as a Chinese desktop writes them.
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    const Tree tree = MakeTree(home);

    // No box, chooser or dialog waits for a person: each is answered here.
    MessageBoxes::setScripted(true);
    FilePickers::setScripted(true);
    ModalDialogs::setScript(UnexpectedDialog);
    // The about box shows its built-in text; it fetches nothing from outside.
    TfrmAbout::setBaseAddress(Q("file://" + home + "/.no-about-page"));

    // A plan and a watched folder (switched off: no watcher starts) for the
    // plan row and the 自动分拣 dialog.
    SortPlan plan;
    plan.name = "整理下载";
    plan.options = FileWindowOptions(FileWindowSettings{});
    plan.options.page = SortPage::FileType;
    plan.options.transferMode = TransferMode::Move;
    plan.options.sameFilePolicy = SameFilePolicy::Identical;
    plan.options.outputDir = tree.output + "/";
    if (!SavePlan(settings, plan).empty() ||
        !SaveWatchedFolders(settings, {{tree.downloads, {plan.name}, false, 1, false}}).empty())
        Fail("the plan could not be stored");

    Camera camera(outFd);
    AppWindows windows(settings, DefaultOutputFolder());
    TForm1& files = windows.fileWindow();
    TForm6& folders = windows.folderWindow();
    Camera::settle();

    // The file window: output folder, same-name answer and each page's values.
    FilePickers::queueAnswer({Q(tree.output)});
    files.Button3->click();
    files.RbRename->setChecked(true);
    files.EdtKeys->setText(QStringLiteral("合同 发票 报告"));
    files.CmbCondition->setCurrentIndex(0);
    files.EdtSize->setText(QStringLiteral("1"));
    files.CmbUnit->setCurrentIndex(1);
    files.RbModifyTime->setChecked(true);
    files.CmbFileDate->setCurrentIndex(1);
    files.DtDate->setDate(QDate(2024, 1, 1));
    files.RbPicW->setChecked(true);
    files.CmbPic->setCurrentIndex(0);
    files.EdtPic->setText(QStringLiteral("1920"));

    // Types left out, typed into the add-type dialog.
    files.ChkExclude->click();
    const char* patterns[] = {"*.tmp", "*.part"};
    for (const char* pattern : patterns) {
        const bool last = pattern == patterns[std::size(patterns) - 1];
        OnNextDialog([&, pattern, last](QDialog& dialog) {
            auto& addType = static_cast<TfrmSuffix&>(dialog);
            addType.Edit1->setText(QString::fromLatin1(pattern));
            if (last) camera.take(addType, "add-type.png");
            addType.Button1Click();
            return dialog.result();
        });
        files.BtnAddSuffix->click();
    }
    CheckBoxes("添加文件类型");

    // The list: a folder's files through 添加目录下文件, then two more files.
    OnNextDialog([&](QDialog& dialog) {
        auto& addDirectory = static_cast<TForm3&>(dialog);
        WaitForFolderTree(addDirectory, tree.home);
        camera.take(addDirectory, "add-directory.png");
        if (!addDirectory.selectPath(tree.downloads)) Fail("the tree has no " + tree.downloads);
        return int(QDialog::Accepted);
    });
    files.Button5->click();
    FilePickers::queueAnswer(
        {Q(tree.desktop + "/截图 2024-05-06.png"), Q(tree.desktop + "/budget-draft.docx")});
    files.Button1->click();
    CheckBoxes("添加文件");
    if (files.sourceList().size() < 10) Fail("the file list was not filled");

    const char* pages[] = {"file-window-keys.png", "file-window-name.png",
                           "file-window-type.png", "file-window-size.png",
                           "file-window-date.png", "file-window-picture.png",
                           "file-window-taken.png"};
    for (int page = 0; page < 7; ++page) {
        files.PageControl1->setCurrentIndex(page);
        camera.take(files, pages[page]);
    }
    files.PageControl1->setCurrentIndex(2);
    camera.take(files, "file-window.png");

    // The same-name question about the invoice, with both files' details.
    {
        ReplaceQuestion question(
            nullptr,
            QStringLiteral("文件") + Q(tree.questionTarget) + QStringLiteral("已存在，是否覆盖？"),
            ReplaceQuestion::details(tree.questionTarget, tree.questionSource));
        question.box().show();
        camera.take(question.box(), "same-name-question.png");
        question.box().hide();
    }

    // A preview of the type page's run.
    RunAndWait(files, files.BtnPreview);
    CheckBoxes("预览");
    auto* preview = files.findChild<PreviewWindow*>(QStringLiteral("PreviewWindow"));
    if (!preview || !preview->isVisible()) Fail("the preview window did not open");
    camera.take(*preview, "preview.png");
    preview->BtnClosePlan->click();

    // A few runs for the record: the type page, the keyword page and its
    // undo, then the folder window's keyword page.
    RunAndWait(files, files.BtnCopy);
    CheckBoxes("按文件类型分拣");
    files.PageControl1->setCurrentIndex(0);
    RunAndWait(files, files.BtnCopy);
    CheckBoxes("按文件名匹配关键字分拣");
    MessageBoxes::queueAnswer(true);
    RunAndWait(files, files.BtnUndo);
    CheckBoxes("撤销上次分拣");
    files.PageControl1->setCurrentIndex(2);

    // The folder window: four project folders through 添加文件夹.
    files.RbForm6->click();
    if (!folders.isVisible()) Fail("the folder window did not open");
    for (const char* folder :
         {"/客户A-合同", "/客户B-发票", "/2023年度照片", "/website-redesign"}) {
        FilePickers::queueAnswer({Q(tree.projects + folder)});
        folders.Button1->click();
    }
    FilePickers::queueAnswer({Q(tree.output)});
    folders.Button3->click();
    folders.RbSkip->setChecked(true);
    folders.EdtKeys->setText(QStringLiteral("合同 发票 照片"));
    CheckBoxes("添加文件夹");
    if (folders.sourceList().size() < 3) Fail("the folder list was not filled");
    folders.PageControl1->setCurrentIndex(0);
    camera.take(folders, "folder-window.png");
    folders.PageControl1->setCurrentIndex(1);
    camera.take(folders, "folder-window-name.png");
    folders.PageControl1->setCurrentIndex(0);
    RunAndWait(folders, folders.BtnCopy);
    CheckBoxes("按目录名匹配关键字分拣");

    OnNextDialog([&](QDialog& dialog) {
        camera.take(dialog, "history.png");
        return int(QDialog::Rejected);
    });
    folders.BtnHistory->click();

    OnNextDialog([&](QDialog& dialog) {
        camera.take(dialog, "auto-sort.png");
        return int(QDialog::Rejected);
    });
    files.BtnAutoSort->click();

    OnNextDialog([&](QDialog& dialog) {
        auto& about = static_cast<TfrmAbout&>(dialog);
        // Every showing fetches the page afresh; its end is told by pageShown.
        bool shown = false;
        QEventLoop loop;
        QObject::connect(&about, &TfrmAbout::pageShown, &loop, [&] {
            shown = true;
            loop.quit();
        });
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, &loop, &QEventLoop::quit);
        if (about.WebBrowser1->toPlainText().isEmpty()) {
            watchdog.start(TfrmAbout::kTimeoutMs + 5000);
            loop.exec();
        }
        if (!shown && about.WebBrowser1->toPlainText().isEmpty())
            Fail("the about box stayed empty");
        camera.take(about, "about.png");
        return int(QDialog::Accepted);
    });
    folders.BtnAout->click();
    CheckBoxes("关于");

    ModalDialogs::setScript({});
    return camera.taken() == 15 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 || argv[1][0] == '-') {
        std::fprintf(stderr,
                     "usage: QT_QPA_PLATFORM=offscreen %s <output folder>\n"
                     "Renders Zanfeld's windows into PNG files in the output folder.\n",
                     argv[0]);
        return 2;
    }
    std::error_code error;
    fs::create_directories(argv[1], error);
    const int outFd = ::open(argv[1], O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (outFd < 0) Fail(std::string("cannot open ") + argv[1] + ": " + std::strerror(errno));

    // The private root is tried in a child, so a refusal halfway leaves this
    // process as it was for the second way.
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child < 0) Fail(std::string("fork: ") + std::strerror(errno));
    if (child == 0) {
        if (!EnterPrivateRoot()) std::_Exit(kNoNamespace);
        const std::string home = std::string("/home/") + kUser;
        MakeFolder(home);
        const int status = Render(outFd, home, "/tmp/runtime-" + std::string(kUser));
        std::fflush(nullptr);
        std::_Exit(status);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) Fail(std::string("waitpid: ") + std::strerror(errno));
    }
    if (!WIFEXITED(status))
        Fail("the renderer ended by signal " + std::to_string(WTERMSIG(status)));
    if (WEXITSTATUS(status) != kNoNamespace) return WEXITSTATUS(status);

    // The system refuses namespaces: the tree goes into a temporary folder,
    // whose name the pictures then show.
    std::fprintf(stderr,
                 "zanfeld_screenshots: no private mount namespace here: the pictures show a "
                 "temporary folder's paths, and the add-directory dialog what else is in it\n");
    std::string pattern = (fs::temp_directory_path() / "zanfeld-screenshots-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) Fail(std::string("mkdtemp: ") + std::strerror(errno));
    g_temporaryTree = pattern;
    const int result = Render(outFd, pattern + "/home/" + kUser, pattern + "/runtime");
    fs::remove_all(pattern, error);
    return result;
}

// The preview of a run: the plan's table with its texts per action, the
// counts line, the filters, a big plan, and the CSV export with its refusals.

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "FileChecks.h"
#include "NonRegularFiles.h"
#include "PlanCsv.h"
#include "PlanTableModel.h"
#include "PreviewWindow.h"
#include "RunPlan.h"
#include "TempDir.h"
#include "UiTestSupport.h"

namespace zanfeld::test {
namespace {

using Filter = PlanTableModel::Filter;

PlanRow Row(std::string source, std::string folder, std::string target, PlanAction action,
            std::string detail = {}) {
    return PlanRow{std::move(source), std::move(folder), std::move(target), action,
                   std::move(detail)};
}

// One row of each action, in the enumeration's order.
RunPlan EveryAction() {
    RunPlan plan;
    auto& r = plan.rows;
    r.push_back(Row("/in/a.txt", "/out/txt", "/out/txt/a.txt", PlanAction::Copy));
    r.push_back(Row("/in/b.txt", "/out/txt", "/out/txt/b.txt", PlanAction::Move));
    r.push_back(Row("/in/c.txt", "/out/txt", "/out/txt/c.txt", PlanAction::Ask));
    r.push_back(Row("/in/d.txt", "/out/txt", "/out/txt/d.txt", PlanAction::Overwrite));
    r.push_back(Row("/in/e.txt", "/out/txt", "/out/txt/e(1).txt", PlanAction::Renamed, "e(1).txt"));
    r.push_back(Row("/in/f.txt", "/out/txt", "/out/txt/f.txt", PlanAction::SkipSameName));
    r.push_back(Row("/in/g.txt", "/out/txt", "/out/txt/g.txt", PlanAction::NewerReplace));
    r.push_back(Row("/in/h.txt", "/out/txt", "/out/txt/h.txt", PlanAction::NewerKeep));
    r.push_back(Row("/in/h2.txt", "/out/txt", "/out/txt/h2.txt", PlanAction::SkipIdentical));
    r.push_back(Row("/in/i.bin", "", "", PlanAction::NotSelected));
    r.push_back(Row("/in/j.txt", "", "", PlanAction::Refused, "没有权限"));
    return plan;
}

QString Cell(const QAbstractItemModel& model, int row, int column, int role = Qt::DisplayRole) {
    return model.data(model.index(row, column), role).toString();
}

// The sources of the rows a model shows, top to bottom.
QStringList Sources(const QAbstractItemModel& model) {
    QStringList sources;
    for (int row = 0; row < model.rowCount(); ++row) sources << Cell(model, row, 0);
    return sources;
}

// A strict reader of RFC 4180 files: fields separated by commas, records by
// CR LF, quoted fields with doubled quotes inside. Anything else (a quote in
// an unquoted field, text after a closing quote, a lone CR or LF outside
// quotes, an unclosed quote) makes it give up.
std::optional<std::vector<std::vector<std::string>>> ReadCsv(std::string_view data) {
    std::vector<std::vector<std::string>> records;
    std::vector<std::string> record;
    size_t i = 0;
    while (i < data.size()) {
        std::string field;
        if (data[i] == '"') {
            ++i;
            for (;;) {
                if (i >= data.size()) return std::nullopt;
                if (data[i] == '"') {
                    if (i + 1 < data.size() && data[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += data[i++];
            }
        } else {
            while (i < data.size() && data[i] != ',' && data[i] != '\r') {
                if (data[i] == '"' || data[i] == '\n') return std::nullopt;
                field += data[i++];
            }
        }
        record.push_back(std::move(field));
        if (i < data.size() && data[i] == ',') {
            ++i;
            continue;
        }
        if (data.substr(i, 2) != "\r\n") return std::nullopt;
        i += 2;
        records.push_back(std::move(record));
        record.clear();
    }
    if (!record.empty()) return std::nullopt;
    return records;
}

// Collects what QAbstractItemModelTester reports while it lives, so that a
// broken promise to the views fails the test rather than only being printed.
class ModelCheck {
  public:
    explicit ModelCheck(QAbstractItemModel* model) {
        s_reports = &m_reports;
        m_previous =
            qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
                s_reports->push_back(text);
            });
        m_tester.emplace(model, QAbstractItemModelTester::FailureReportingMode::Warning);
    }
    ~ModelCheck() {
        m_tester.reset();
        qInstallMessageHandler(m_previous);
        s_reports = nullptr;
        EXPECT_TRUE(m_reports.isEmpty()) << qPrintable(m_reports.join(QLatin1Char('\n')));
    }

  private:
    static inline QStringList* s_reports = nullptr;
    QStringList m_reports;
    QtMessageHandler m_previous = nullptr;
    std::optional<QAbstractItemModelTester> m_tester;
};

class PreviewWindowTest : public UiTest {
  protected:
    template <typename T>
    T* W(const char* name) {
        return Find<T>(&window, name);
    }

    void ChooseFilter(const char* text) {
        auto* box = W<QComboBox>("CmbPlanFilter");
        const int index = box->findText(QString::fromUtf8(text));
        ASSERT_GE(index, 0) << text;
        box->setCurrentIndex(index);
    }

    // The rows shown, as the model tells and as the view has heard.
    int ShownRows() {
        auto* table = W<QTableView>("TblPlan");
        const int rows = table->model()->rowCount();
        EXPECT_EQ(table->verticalHeader()->count(), rows) << "the view was not told";
        return rows;
    }

    // Presses 导出… with path as the chooser's answer.
    void ExportTo(const std::string& path) {
        FilePickers::queueAnswer({Q(path)});
        W<QPushButton>("BtnExportPlan")->click();
    }

    PreviewWindow window;
};

TEST_F(PreviewWindowTest, TheWindowHasItsTitleControlsAndAQuickTable) {
    EXPECT_EQ(window.objectName(), QStringLiteral("PreviewWindow"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Zanfeld - 预览"));
    EXPECT_EQ(W<QPushButton>("BtnExportPlan")->text(), QStringLiteral("导出…"));
    EXPECT_EQ(W<QPushButton>("BtnClosePlan")->text(), QStringLiteral("关闭"));
    auto* filters = W<QComboBox>("CmbPlanFilter");
    ASSERT_EQ(filters->count(), 3);
    EXPECT_EQ(filters->itemText(0), QStringLiteral("全部"));
    EXPECT_EQ(filters->itemText(1), QStringLiteral("只看同名冲突"));
    EXPECT_EQ(filters->itemText(2), QStringLiteral("只看问题"));
    EXPECT_EQ(filters->currentIndex(), 0);

    auto* table = W<QTableView>("TblPlan");
    const QAbstractItemModel& model = *table->model();
    ASSERT_EQ(model.columnCount(), 4);
    const char* headers[] = {"源文件", "目标文件夹", "目标文件", "操作"};
    for (int column = 0; column < 4; ++column) {
        EXPECT_EQ(model.headerData(column, Qt::Horizontal).toString(),
                  QString::fromUtf8(headers[column]));
    }
    EXPECT_FALSE(table->wordWrap());
    EXPECT_EQ(table->textElideMode(), Qt::ElideMiddle);
    EXPECT_EQ(table->verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
    for (int column = 0; column < 4; ++column) {
        EXPECT_EQ(table->horizontalHeader()->sectionResizeMode(column), QHeaderView::Interactive);
    }
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(W<QLabel>("LblPlanCounts")->text(), QStringLiteral("共 0 个文件"));

    window.show();
    QCoreApplication::processEvents();
    W<QPushButton>("BtnClosePlan")->click();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.result(), QDialog::Rejected);
}

TEST_F(PreviewWindowTest, EachActionHasItsWordsAndTheRowItsPaths) {
    RunPlan plan = EveryAction();
    // A reason-less refusal, and an action from outside the enumeration.
    plan.rows.push_back(Row("/in/k.txt", "", "", PlanAction::Refused));
    plan.rows.push_back(Row("/in/l.txt", "", "", PlanAction::Count));
    window.setPlan(std::move(plan));
    const QAbstractItemModel& model = *W<QTableView>("TblPlan")->model();
    ASSERT_EQ(model.rowCount(), 13);

    const char* words[] = {"复制",
                           "移动",
                           "询问",
                           "覆盖",
                           "编号为 e(1).txt",
                           "跳过（同名）",
                           "只替换旧文件 → 替换",
                           "只替换旧文件 → 保留",
                           "跳过（相同）",
                           "跳过",
                           "不能分拣 没有权限",
                           "不能分拣",
                           ""};
    for (int row = 0; row < 13; ++row) {
        EXPECT_EQ(Cell(model, row, 3), QString::fromUtf8(words[row])) << row;
    }
    EXPECT_EQ(Cell(model, 4, 0), QStringLiteral("/in/e.txt"));
    EXPECT_EQ(Cell(model, 4, 1), QStringLiteral("/out/txt"));
    EXPECT_EQ(Cell(model, 4, 2), QStringLiteral("/out/txt/e(1).txt"));
    EXPECT_EQ(Cell(model, 10, 1), QString());
    EXPECT_EQ(Cell(model, 10, 2), QString());
    // Cut-off paths can be read in full.
    EXPECT_EQ(Cell(model, 4, 2, Qt::ToolTipRole), QStringLiteral("/out/txt/e(1).txt"));
    EXPECT_FALSE(model.data(model.index(13, 0)).isValid());
    EXPECT_FALSE(model.data(model.index(0, 4)).isValid());
}

TEST_F(PreviewWindowTest, TheCountsLineNamesTheActionsThePlanHas) {
    auto* counts = W<QLabel>("LblPlanCounts");
    window.setPlan(EveryAction());
    EXPECT_EQ(counts->text(),
              QStringLiteral("共 11 个文件：复制 1 · 移动 1 · 询问 1 · 覆盖 1 · 编号 1 · "
                             "跳过（同名） 1 · 只替换旧文件 → 替换 1 · 只替换旧文件 → 保留 1 · "
                             "跳过（相同） 1 · 未选中 1 · 不能分拣 1"));

    RunPlan plan;
    const auto add = [&](const char* name, int n, PlanAction action) {
        for (int i = 0; i < n; ++i) {
            const std::string source = "/" + std::string(name) + std::to_string(i);
            plan.rows.push_back(
                Row(source, "/o", action == PlanAction::NotSelected ? "" : "/o" + source, action));
        }
    };
    add("a", 120, PlanAction::Copy);
    add("b", 3, PlanAction::Ask);
    add("c", 5, PlanAction::NotSelected);
    plan.rows.push_back(Row("/d", "", "", PlanAction::Refused, "文件或文件夹不存在"));
    window.setPlan(std::move(plan));
    EXPECT_EQ(counts->text(),
              QStringLiteral("共 129 个文件：复制 120 · 询问 3 · 未选中 5 · 不能分拣 1"));
    EXPECT_EQ(window.model().count(PlanAction::Copy), 120u);
    EXPECT_EQ(window.model().count(PlanAction::Move), 0u);

    // A file that goes to two keyword folders is one file with two rows; a
    // folder copied into two folders brings its files twice, apart.
    const struct {
        std::vector<PlanRow> rows;
        const char* counts;
    } placements[] = {
        {{Row("/a", "/o/k1", "/o/k1/a", PlanAction::Copy),
          Row("/a", "/o/k2", "/o/k2/a", PlanAction::Copy),
          Row("/b", "/o/k1", "/o/k1/b", PlanAction::Copy)},
         "共 2 个文件，3 次放置：复制 3"},
        {{Row("/t/f", "/o/x/t", "/o/x/t/f", PlanAction::Copy),
          Row("/t/g", "/o/x/t", "/o/x/t/g", PlanAction::Copy),
          Row("/t/f", "/o/y/t", "/o/y/t/f", PlanAction::Renamed, "f_1"),
          Row("/t/g", "/o/y/t", "/o/y/t/g", PlanAction::Copy)},
         "共 2 个文件，4 次放置：复制 3 · 编号 1"},
    };
    for (const auto& c : placements) {
        window.setPlan(RunPlan{c.rows, false});
        EXPECT_EQ(counts->text(), QString::fromUtf8(c.counts));
        EXPECT_EQ(window.model().rowCount(), static_cast<int>(c.rows.size()));
        EXPECT_EQ(window.model().files(), 2u);
    }

    window.setPlan(RunPlan{});
    EXPECT_EQ(counts->text(), QStringLiteral("共 0 个文件"));
}

TEST_F(PreviewWindowTest, TheFiltersShowSameNameConflictsOrProblemsInPlanOrder) {
    window.setPlan(EveryAction());
    // The model keeps its promises to views through every change below.
    ModelCheck check(W<QTableView>("TblPlan")->model());
    EXPECT_EQ(ShownRows(), 11);

    ChooseFilter("只看同名冲突");
    const QAbstractItemModel& model = *W<QTableView>("TblPlan")->model();
    EXPECT_EQ(Sources(model), QStringList({"/in/c.txt", "/in/d.txt", "/in/e.txt", "/in/f.txt",
                                           "/in/g.txt", "/in/h.txt", "/in/h2.txt"}));
    EXPECT_EQ(ShownRows(), 7);
    EXPECT_EQ(Cell(model, 2, 3), QStringLiteral("编号为 e(1).txt"));
    // The counts are the whole plan's, whatever is shown.
    EXPECT_TRUE(W<QLabel>("LblPlanCounts")->text().startsWith(QStringLiteral("共 11 个文件：")));

    ChooseFilter("只看问题");
    EXPECT_EQ(Sources(model), QStringList({"/in/j.txt"}));
    EXPECT_EQ(ShownRows(), 1);
    EXPECT_EQ(Cell(model, 0, 3), QStringLiteral("不能分拣 没有权限"));

    // A new plan is shown under the filter chosen.
    RunPlan next;
    next.rows.push_back(Row("/x/1", "", "", PlanAction::Refused, "a"));
    next.rows.push_back(Row("/x/2", "/o", "/o/2", PlanAction::Copy));
    next.rows.push_back(Row("/x/3", "", "", PlanAction::Refused, "b"));
    window.setPlan(std::move(next));
    EXPECT_EQ(Sources(model), QStringList({"/x/1", "/x/3"}));
    EXPECT_EQ(ShownRows(), 2);
    ChooseFilter("只看同名冲突");
    EXPECT_EQ(ShownRows(), 0);
    ChooseFilter("全部");
    EXPECT_EQ(Sources(model), QStringList({"/x/1", "/x/2", "/x/3"}));
    EXPECT_EQ(ShownRows(), 3);
}

// A plan of many rows (200,000, or ZANFELD_PREVIEW_ROWS) opens, scrolls to its
// end and filters; the times are printed, not judged.
TEST_F(PreviewWindowTest, ABigPlanOpensAndFilters) {
    size_t rows = 200000;
    if (const char* env = std::getenv("ZANFELD_PREVIEW_ROWS"))
        rows = std::strtoull(env, nullptr, 10);
    ASSERT_GE(rows, 100u);
    RunPlan plan;
    plan.rows.reserve(rows);
    size_t sameName = 0;
    size_t problems = 0;
    for (size_t i = 0; i < rows; ++i) {
        const std::string n = std::to_string(i);
        const std::string source = "/home/user/照片/2024/IMG_" + n + ".jpg";
        PlanAction action = PlanAction::Copy;
        if (i % 50 == 7) action = PlanAction::Ask;
        if (i % 97 == 3) action = PlanAction::Renamed;
        if (i % 1000 == 999) action = PlanAction::Refused;
        if (action == PlanAction::Ask || action == PlanAction::Renamed) ++sameName;
        if (action == PlanAction::Refused) ++problems;
        plan.rows.push_back(Row(source, "/mnt/归档/jpg", "/mnt/归档/jpg/IMG_" + n + ".jpg", action,
                                action == PlanAction::Refused ? "没有权限" : ""));
    }

    QElapsedTimer clock;
    clock.start();
    window.setPlan(std::move(plan));
    window.show();
    QCoreApplication::processEvents();
    // The first picture of the window, its visible rows' texts made.
    const QPixmap picture = window.grab();
    const qint64 openMs = clock.elapsed();
    EXPECT_FALSE(picture.isNull());

    auto* table = W<QTableView>("TblPlan");
    ASSERT_EQ(static_cast<size_t>(table->model()->rowCount()), rows);
    EXPECT_TRUE(W<QLabel>("LblPlanCounts")
                    ->text()
                    .startsWith(QStringLiteral("共 %1 个文件：复制 %2 · 询问 ")
                                    .arg(rows)
                                    .arg(rows - sameName - problems)));
    clock.restart();
    table->scrollToBottom();
    QCoreApplication::processEvents();
    const qint64 scrollMs = clock.elapsed();
    EXPECT_EQ(table->verticalScrollBar()->value(), table->verticalScrollBar()->maximum());
    const int last = table->rowAt(table->viewport()->height() - 2);
    EXPECT_EQ(last, static_cast<int>(rows) - 1);

    clock.restart();
    ChooseFilter("只看同名冲突");
    QCoreApplication::processEvents();
    const qint64 sameNameMs = clock.elapsed();
    EXPECT_EQ(static_cast<size_t>(ShownRows()), sameName);
    ChooseFilter("只看问题");
    QCoreApplication::processEvents();
    ASSERT_EQ(static_cast<size_t>(ShownRows()), problems);
    const QAbstractItemModel& model = *table->model();
    EXPECT_EQ(Cell(model, static_cast<int>(problems) - 1, 0),
              QStringLiteral("/home/user/照片/2024/IMG_%1.jpg").arg(problems * 1000 - 1));
    clock.restart();
    ChooseFilter("全部");
    QCoreApplication::processEvents();
    const qint64 allMs = clock.elapsed();
    EXPECT_EQ(static_cast<size_t>(ShownRows()), rows);
    std::printf("%zu rows: open %lld ms, to the end %lld ms, 只看同名冲突 %lld ms, 全部 %lld ms\n",
                rows, static_cast<long long>(openMs), static_cast<long long>(scrollMs),
                static_cast<long long>(sameNameMs), static_cast<long long>(allMs));
}

class PlanExportTest : public PreviewWindowTest {
  protected:
    TempDir m_dir;
};

TEST_F(PlanExportTest, TheFileHoldsEveryRowAsItsBytes) {
    // The user's files stay as they are: the preview only shows a plan.
    const std::string in = m_dir / "收件箱";
    WriteFile(in + "/报告.docx", "report");
    WriteFile(in + "/a,b \"c\".txt", "quoted");
    const std::string odd = in + "/caf\xE9 \xFF.txt";  // Latin-1, not UTF-8
    WriteFile(odd, "latin");
    const std::string lines = in + "/two\r\nlines\n.txt";
    WriteFile(lines, "lines");
    const std::string cr = in + "/lone\rcr.txt";
    WriteFile(cr, "cr");
    const std::string out = m_dir / "归档";

    RunPlan plan;
    plan.rows.push_back(
        Row(in + "/报告.docx", out + "/docx", out + "/docx/报告.docx", PlanAction::Copy));
    plan.rows.push_back(Row(in + "/a,b \"c\".txt", out + "/txt", out + "/txt/a,b \"c\"(1).txt",
                            PlanAction::Renamed, "a,b \"c\"(1).txt"));
    plan.rows.push_back(Row(odd, out + "/txt", out + "/txt/caf\xE9 \xFF(1).txt",
                            PlanAction::Renamed, "caf\xE9 \xFF(1).txt"));
    plan.rows.push_back(Row(lines, "", "", PlanAction::Refused, "文件名含有换行符"));
    plan.rows.push_back(Row(cr, out + "/txt", out + "/txt/lone\rcr.txt", PlanAction::Move));
    plan.rows.push_back(Row(in + "/x.bin", "", "", PlanAction::NotSelected));
    const RunPlan expected = plan;
    window.setPlan(std::move(plan));
    // The filter chooses what is shown; the file gets the whole plan.
    ChooseFilter("只看问题");

    const std::string csv = m_dir / "plan.csv";
    WriteFile(csv, "an older export");
    ExportTo(csv);
    EXPECT_TRUE(BoxTexts().empty()) << qPrintable(BoxTexts().front());
    ASSERT_EQ(FilePickers::requests().size(), 1u);
    EXPECT_EQ(FilePickers::requests()[0].kind, FilePickers::Kind::SaveFile);
    EXPECT_EQ(FilePickers::requests()[0].preset, QStringLiteral("plan.csv"));
    EXPECT_EQ(FilePickers::requests()[0].filter, QStringLiteral("CSV 文件 (*.csv)"));
    // Replaced in one step: no temporary file is left beside it.
    EXPECT_EQ(Names(m_dir.path()), std::vector<std::string>({"plan.csv", "收件箱"}));

    const std::string data = ReadFile(csv);
    ASSERT_EQ(data.substr(0, 3), "\xEF\xBB\xBF");
    // The head of the file, byte for byte: a plain row is not quoted, a
    // field with a comma or quote is, its quotes doubled.
    const std::string head = "\xEF\xBB\xBF源文件,目标文件夹,目标文件,操作\r\n" + in +
                             "/报告.docx," + out + "/docx," + out + "/docx/报告.docx,复制\r\n\"" +
                             in + "/a,b \"\"c\"\".txt\",";
    EXPECT_EQ(data.substr(0, head.size()), head);

    const auto records = ReadCsv(std::string_view(data).substr(3));
    ASSERT_TRUE(records.has_value()) << data;
    ASSERT_EQ(records->size(), 7u);
    EXPECT_EQ((*records)[0],
              std::vector<std::string>({"源文件", "目标文件夹", "目标文件", "操作"}));
    const char* words[] = {"复制",
                           "编号为 a,b \"c\"(1).txt",
                           "编号为 caf\xE9 \xFF(1).txt",
                           "不能分拣 文件名含有换行符",
                           "移动",
                           "跳过"};
    for (size_t i = 0; i < expected.rows.size(); ++i) {
        const PlanRow& row = expected.rows[i];
        EXPECT_EQ((*records)[i + 1],
                  std::vector<std::string>({row.source, row.folder, row.target, words[i]}))
            << i;
    }

    // The sources and their folder are untouched; no target was made.
    EXPECT_EQ(ReadFile(in + "/报告.docx"), "report");
    EXPECT_EQ(ReadFile(odd), "latin");
    EXPECT_EQ(ReadFile(lines), "lines");
    EXPECT_EQ(ReadFile(cr), "cr");
    EXPECT_EQ(Names(in).size(), 5u);
    EXPECT_FALSE(Exists(out));
}

TEST_F(PlanExportTest, AnEmptyPlanGivesTheHeaderAndACancelWritesNothing) {
    const std::string csv = m_dir / "plan.csv";
    ExportTo(csv);
    EXPECT_EQ(ReadFile(csv), "\xEF\xBB\xBF源文件,目标文件夹,目标文件,操作\r\n");

    window.setPlan(EveryAction());
    W<QPushButton>("BtnExportPlan")->click();  // the chooser is cancelled
    EXPECT_EQ(FilePickers::requests().size(), 2u);
    EXPECT_EQ(ReadFile(csv), "\xEF\xBB\xBF源文件,目标文件夹,目标文件,操作\r\n");
    EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(PlanExportTest, AFolderPipeOrDeviceUnderTheChosenNameIsRefusedAndKept) {
    window.setPlan(EveryAction());
    const std::string folder = m_dir / "plan.csv";
    MakeDir(folder);
    ExportTo(folder);
    ASSERT_EQ(MessageBoxes::shown().size(), 1u);
    EXPECT_EQ(MessageBoxes::shown()[0].kind, MessageBoxes::Kind::Error);
    EXPECT_EQ(MessageBoxes::shown()[0].owner, &window);
    EXPECT_EQ(BoxTexts()[0], Q("Cannot create file \"" + folder + "\". Is a directory"));
    EXPECT_TRUE(IsDir(folder));
    EXPECT_TRUE(Names(folder).empty());

    MessageBoxes::clearShown();
    const std::string pipe = m_dir / "pipe.csv";
    ASSERT_EQ(MakeFifo(pipe), 0);
    const EntryIdentity before = IdentityOf(pipe);
    ExportTo(pipe);
    ASSERT_EQ(BoxTexts().size(), 1u);
    EXPECT_EQ(BoxTexts()[0],
              Q("无法导出预览：“" + pipe + "”不是普通文件（设备、管道或套接字），未被替换。"));
    EXPECT_EQ(IdentityOf(pipe), before);

    MessageBoxes::clearShown();
    const std::string device = m_dir / "null.csv";
    if (MakeNullDevice(device) == 0) {  // needs the right to make devices
        const EntryIdentity device0 = IdentityOf(device);
        ExportTo(device);
        ASSERT_EQ(BoxTexts().size(), 1u);
        EXPECT_TRUE(BoxTexts()[0].startsWith(QStringLiteral("无法导出预览：")));
        EXPECT_EQ(IdentityOf(device), device0);
    }
    // Nothing but what the test made.
    std::vector<std::string> names = Names(m_dir.path());
    std::erase(names, std::string("null.csv"));
    EXPECT_EQ(names, std::vector<std::string>({"pipe.csv", "plan.csv"}));
}

TEST_F(PlanExportTest, AFolderThatIsMissingIsReportedWithTheSystemsReason) {
    window.setPlan(EveryAction());
    const std::string csv = m_dir / "gone/plan.csv";
    ExportTo(csv);
    ASSERT_EQ(BoxTexts().size(), 1u);
    EXPECT_EQ(BoxTexts()[0], Q("Cannot create file \"" + csv + "\". No such file or directory"));
    EXPECT_FALSE(Exists(m_dir / "gone"));
}

}  // namespace
}  // namespace zanfeld::test

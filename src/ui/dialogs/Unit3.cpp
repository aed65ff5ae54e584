#include "Unit3.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeView>
#include <QVBoxLayout>

#include "FileOps.h"
#include "HomeFolder.h"
#include "KeyFilter.h"
#include "NativeText.h"
#include "PathNames.h"

namespace zanfeld {

TForm3::TForm3(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(tr("选择要添加的目录（文件夹）"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    ShellModel = new QFileSystemModel(this);
    ShellModel->setObjectName(QStringLiteral("ShellModel"));
    ShellModel->setReadOnly(true);
    ShellModel->setFilter(QDir::Dirs | QDir::NoDotAndDotDot);
    ShellModel->setRootPath(QStringLiteral("/"));

    ShellTreeView1 = new QTreeView(this);
    ShellTreeView1->setObjectName(QStringLiteral("ShellTreeView1"));
    ShellTreeView1->setModel(ShellModel);
    ShellTreeView1->setHeaderHidden(true);
    for (int column = 1; column < ShellModel->columnCount(); ++column) {
        ShellTreeView1->hideColumn(column);
    }
    ShellTreeView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ShellTreeView1->setFixedHeight(305);
    // A tree takes no name from a label or the dialog's title.
    ShellTreeView1->setAccessibleName(tr("文件夹"));
    const QModelIndex root = ShellModel->index(QStringLiteral("/"));
    ShellTreeView1->expand(root);

    ChkOtHidden = new QCheckBox(tr("不显示隐藏的文件夹"), this);
    ChkOtHidden->setObjectName(QStringLiteral("ChkOtHidden"));
    ChkOtHidden->setChecked(true);

    CheckBox1 = new QCheckBox(tr("添加包括选定文件夹下的所有子文件夹中的文件"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));

    CheckBox2 = new QCheckBox(tr("添加包括选定文件夹下"), this);
    CheckBox2->setObjectName(QStringLiteral("CheckBox2"));

    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->addItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")});
    ComboBox1->setCurrentText(QStringLiteral("1"));
    ComboBox1->setEnabled(false);
    ComboBox1->setMinimumContentsLength(3);
    KeyFilter::install(ComboBox1, KeyFilter::kDigits);

    Label1 = new QLabel(tr("级子目录中所有文件"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    // The words after the depth box name it for screen readers.
    Label1->setBuddy(ComboBox1);

    BitBtn1 = new QPushButton(tr("确定"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(tr("取消"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));

    auto* depthRow = new QHBoxLayout;
    depthRow->addWidget(CheckBox2);
    depthRow->addWidget(ComboBox1);
    depthRow->addWidget(Label1);
    depthRow->addStretch(1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(ShellTreeView1);
    layout->addWidget(ChkOtHidden);
    layout->addWidget(CheckBox1);
    layout->addLayout(depthRow);
    layout->addStretch(1);
    layout->addLayout(buttons);

    connect(ChkOtHidden, &QCheckBox::toggled, this, [this] { ChkOtHiddenClick(); });
    connect(CheckBox1, &QCheckBox::toggled, this, [this] { CheckBox1Click(); });
    connect(CheckBox2, &QCheckBox::toggled, this, [this] { CheckBox2Click(); });
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    // Rows read later, and their sorting, move the home folder about.
    connect(ShellModel, &QAbstractItemModel::rowsInserted, this, [this] { keepHomeInView(); });
    connect(ShellModel, &QAbstractItemModel::layoutChanged, this, [this] { keepHomeInView(); });
    ShellTreeView1->viewport()->installEventFilter(this);
    ShellTreeView1->verticalScrollBar()->installEventFilter(this);

    setFixedSize(409, 416);
}

std::string TForm3::selectedPath() const {
    const QModelIndexList selected = ShellTreeView1->selectionModel()->selectedRows();
    if (selected.isEmpty()) return {};
    const QString path = ShellModel->filePath(selected.first());
    return path.isEmpty() ? std::string() : ToNative(path);
}

bool TForm3::selectPath(const std::string& path) {
    const QModelIndex index = ShellModel->index(FromNative(path));
    if (!index.isValid()) return false;
    for (QModelIndex up = index.parent(); up.isValid(); up = up.parent()) {
        ShellTreeView1->expand(up);
    }
    ShellTreeView1->setCurrentIndex(index);
    ShellTreeView1->scrollTo(index);
    return true;
}

void TForm3::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_shownBefore) return;
    m_shownBefore = true;
    // A folder chosen for the dialog before it first showed stays chosen.
    if (selectedPath().empty()) selectHomeFolder();
}

void TForm3::selectHomeFolder() {
    const std::string home = HomeFolder();
    if (home.empty() || home.front() != kPathSeparator || !DirExists(home)) return;
    if (selectPath(home)) m_homeInView = ShellTreeView1->currentIndex();
}

void TForm3::keepHomeInView() {
    if (!m_homeInView.isValid()) return;
    if (ShellTreeView1->currentIndex() != QModelIndex(m_homeInView)) {
        m_homeInView = QPersistentModelIndex();  // the user chose another folder
        return;
    }
    ShellTreeView1->scrollTo(m_homeInView);
}

bool TForm3::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::Wheel:
            // The user moves about the tree: it is not scrolled back any more.
            m_homeInView = QPersistentModelIndex();
            break;
        default:
            break;
    }
    return QDialog::eventFilter(watched, event);
}

bool TForm3::allSubFolders() const { return CheckBox1->isChecked(); }

bool TForm3::downToDepth() const { return CheckBox2->isChecked(); }

QString TForm3::depthText() const { return ComboBox1->currentText(); }

void TForm3::ChkOtHiddenClick() {
    QDir::Filters filters = QDir::Dirs | QDir::NoDotAndDotDot;
    if (!ChkOtHidden->isChecked()) filters |= QDir::Hidden;
    ShellModel->setFilter(filters);
}

void TForm3::CheckBox1Click() {
    if (CheckBox1->isChecked()) CheckBox2->setChecked(false);
}

void TForm3::CheckBox2Click() {
    if (CheckBox2->isChecked()) CheckBox1->setChecked(false);
    ComboBox1->setEnabled(CheckBox2->isChecked());
}

}  // namespace zanfeld

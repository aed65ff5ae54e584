#include "SourceListGroup.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListView>
#include <QPushButton>
#include <QVBoxLayout>
#include <exception>
#include <optional>

#include "BusyCursor.h"
#include "FilePickers.h"
#include "FormParts.h"
#include "MessageBoxes.h"
#include "NativeText.h"
#include "SourceListModel.h"

namespace zanfeld {

namespace {

// A walk lets the window repaint and show its new rows this often.
constexpr qint64 kWalkTickMs = 40;

}  // namespace

SourceListGroup::SourceListGroup(QWidget* owner, const Texts& texts)
    : m_owner(owner), m_listName(texts.listName), m_kind(texts.kind) {
    using P = FormParts;
    GroupBox1 = P::named(new QGroupBox(texts.title), "GroupBox1");
    // The list is what a window is enlarged for: it takes every added pixel
    // of height, and is never lower than its designed height.
    GroupBox1->setMinimumHeight(196);
    GroupBox1->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);

    m_model = new SourceListModel(m_sources, GroupBox1);
    ListBox1 = P::named(new QListView, "ListBox1");
    ListBox1->setModel(m_model);
    ListBox1->setUniformItemSizes(true);
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBox1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListBox1->setTextElideMode(Qt::ElideMiddle);
    // A list takes no name from a label; the group's title is its name.
    ListBox1->setAccessibleName(texts.title);

    Button1 = P::named(new QPushButton(texts.add), "Button1");
    Button5 = P::named(new QPushButton(texts.addDir), "Button5");
    Button2 = P::named(new QPushButton(texts.remove), "Button2");
    Button6 = P::named(new QPushButton(tr("清空列表")), "Button6");
    BtnSaveFileList = P::named(new QPushButton(tr("导出列表")), "BtnSaveFileList");
    BtnImpFileList = P::named(new QPushButton(tr("导入列表")), "BtnImpFileList");

    auto* buttons = new QVBoxLayout;
    buttons->setSpacing(2);
    for (QPushButton* b : {Button1, Button5, Button2, Button6, BtnSaveFileList, BtnImpFileList}) {
        b->setMinimumWidth(110);
        buttons->addWidget(b);
    }
    buttons->addStretch(1);

    auto* layout = new QHBoxLayout(GroupBox1);
    layout->setContentsMargins(6, 4, 6, 6);
    layout->addWidget(ListBox1, 1);
    layout->addLayout(buttons);
}

void SourceListGroup::sync() { m_model->sync(); }

void SourceListGroup::setButtonsEnabled(bool enabled) {
    for (QPushButton* b : {Button1, Button5, Button2, Button6, BtnSaveFileList, BtnImpFileList}) {
        b->setEnabled(enabled);
    }
}

void SourceListGroup::removeSelected() {
    const QModelIndexList selected = ListBox1->selectionModel()->selectedRows();
    if (selected.isEmpty()) return;
    m_model->removeEntry(selected.first().row());
}

void SourceListGroup::clear() { m_model->clear(); }

void SourceListGroup::exportList() {
    if (m_sources.empty()) {
        MessageBoxes::information(m_owner, tr("当前文件列表为空！"));
        return;
    }
    const QString path = FilePickers::saveFile(m_owner, m_listName, tr("列表文件(*.lst)"));
    if (path.isEmpty()) return;
    const ListFileResult result = ExportListFile(ToNative(path), m_sources.entries());
    if (!result.ok) {
        MessageBoxes::error(m_owner, FromEngine(result.error));
        return;
    }
    if (result.skipped > 0) {
        // A line break inside a name would split it into two entries on import.
        MessageBoxes::information(m_owner, tr("有 %n 个文件名中含有换行符，未能写入列表文件。",
                                              nullptr, static_cast<int>(result.skipped)));
    }
}

void SourceListGroup::importList() {
    const QString path = FilePickers::openFile(m_owner, QStringLiteral("*.lst (*.lst)"));
    if (path.isEmpty()) return;
    const ListFileResult result = ImportListFile(ToNative(path), m_sources, m_kind);
    sync();
    if (!result.ok) MessageBoxes::error(m_owner, FromEngine(result.error));
}

void SourceListGroup::walk(const std::function<void(SourceList&, const WalkTick&)>& fill) {
    if (m_walking) return;
    std::optional<BusyCursor> busy;
    busy.emplace();
    m_walking = true;
    setButtonsEnabled(false);
    QElapsedTimer clock;
    clock.start();
    const WalkTick tick = [this, &clock] {
        if (clock.elapsed() < kWalkTickMs) return;
        sync();
        QCoreApplication::processEvents();
        clock.restart();
    };
    QString failure;
    try {
        fill(m_sources, tick);
    } catch (const std::exception& e) {
        failure = FromEngine(e.what());
    }
    sync();
    setButtonsEnabled(true);
    m_walking = false;
    busy.reset();
    if (!failure.isEmpty()) MessageBoxes::error(m_owner, failure);
}

}  // namespace zanfeld

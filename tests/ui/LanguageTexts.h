#pragma once

// What a user can read of a window, gathered for the language tests: every
// caption, text, tooltip, tab, item, header and cell of a widget and of
// everything in it.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QString>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QWidget>
#include <algorithm>
#include <vector>

#include "AppSetup.h"
#include "FilePickers.h"
#include "MessageBoxes.h"
#include "SortIllustration.h"
#include "StarCaption.h"

namespace zanfeld::test {

// Whether text holds a CJK Unified Ideograph (with extension A), CJK symbols
// and punctuation, or a full-width form ("：", "（", "！").
inline bool HasChinese(const QString& text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= 0x4E00 && u <= 0x9FFF) || (u >= 0x3400 && u <= 0x4DBF) ||
               (u >= 0x3000 && u <= 0x303F) || (u >= 0xFF00 && u <= 0xFFEF);
    });
}

// A text the user can read, and where it is.
struct SeenText {
    QString where;
    QString text;
};

inline QString NameOf(const QObject* object) {
    const QString name = object->objectName();
    return name.isEmpty() ? QString::fromLatin1(object->metaObject()->className()) : name;
}

inline void AddText(std::vector<SeenText>& texts, const QObject* object, const char* what,
                    const QString& text) {
    if (!text.isEmpty())
        texts.push_back({NameOf(object) + QLatin1Char('.') + QLatin1String(what), text});
}

// The headers and the cells (display text and tooltip) of a view's model.
// The folder tree shows the file system's own names, which are no texts of
// the program's.
inline void AddModelTexts(std::vector<SeenText>& texts, const QAbstractItemView* view) {
    const QAbstractItemModel* model = view->model();
    if (!model || qobject_cast<const QFileSystemModel*>(model)) return;
    for (int column = 0; column < model->columnCount(); ++column) {
        AddText(texts, view, "header",
                model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString());
    }
    const int rows = std::min(model->rowCount(), 500);
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < model->columnCount(); ++column) {
            const QModelIndex index = model->index(row, column);
            AddText(texts, view, "cell", model->data(index, Qt::DisplayRole).toString());
            AddText(texts, view, "cellTip", model->data(index, Qt::ToolTipRole).toString());
        }
    }
}

// Everything readable of root and the widgets in it, hidden ones included (a
// hidden page or panel is shown by a click).
inline std::vector<SeenText> TextsOf(QWidget* root) {
    std::vector<SeenText> texts;
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root);
    for (QWidget* w : widgets) {
        if (w->isWindow()) AddText(texts, w, "windowTitle", w->windowTitle());
        AddText(texts, w, "toolTip", w->toolTip());
        AddText(texts, w, "statusTip", w->statusTip());
        AddText(texts, w, "whatsThis", w->whatsThis());
        AddText(texts, w, "accessibleName", w->accessibleName());
        AddText(texts, w, "accessibleDescription", w->accessibleDescription());
        if (auto* label = qobject_cast<QLabel*>(w)) AddText(texts, w, "text", label->text());
        if (auto* button = qobject_cast<QAbstractButton*>(w))
            AddText(texts, w, "text", button->text());
        if (auto* group = qobject_cast<QGroupBox*>(w)) AddText(texts, w, "title", group->title());
        if (auto* tabs = qobject_cast<QTabBar*>(w)) {
            for (int i = 0; i < tabs->count(); ++i) {
                AddText(texts, w, "tabText", tabs->tabText(i));
                AddText(texts, w, "tabToolTip", tabs->tabToolTip(i));
            }
        }
        if (auto* combo = qobject_cast<QComboBox*>(w)) {
            for (int i = 0; i < combo->count(); ++i) AddText(texts, w, "item", combo->itemText(i));
        }
        if (auto* edit = qobject_cast<QLineEdit*>(w))
            AddText(texts, w, "placeholder", edit->placeholderText());
        if (auto* text = qobject_cast<QTextEdit*>(w))
            AddText(texts, w, "document", text->toPlainText());
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            AddText(texts, w, "text", box->text());
            AddText(texts, w, "informativeText", box->informativeText());
            AddText(texts, w, "detailedText", box->detailedText());
        }
        // A header shows its view's model, which the view's own walk reads.
        if (auto* view = qobject_cast<QAbstractItemView*>(w);
            view && !qobject_cast<QHeaderView*>(w))
            AddModelTexts(texts, view);
        if (auto* star = qobject_cast<StarCaption*>(w)) AddText(texts, w, "text", star->text());
        if (auto* picture = qobject_cast<SortIllustration*>(w)) {
            for (const SortIllustration::Label& label : picture->labels())
                AddText(texts, w, "label", label.text);
        }
    }
    return texts;
}

// The boxes shown so far, each with its caption, text and details, and the
// prompts and filters of the choosers asked for so far.
inline std::vector<SeenText> BoxesAndChoosers() {
    std::vector<SeenText> texts;
    for (const MessageBoxes::Shown& box : MessageBoxes::shown()) {
        texts.push_back({QStringLiteral("box caption"), box.caption});
        texts.push_back({QStringLiteral("box text"), box.text});
        texts.push_back({QStringLiteral("box details"), box.details});
    }
    for (const FilePickers::Request& request : FilePickers::requests()) {
        texts.push_back({QStringLiteral("chooser title"), request.title});
        texts.push_back({QStringLiteral("chooser filter"), request.filter});
    }
    return texts;
}

inline void ExpectNoChinese(const std::vector<SeenText>& texts) {
    for (const SeenText& t : texts) {
        // A folder the run makes keeps its name in every language, as the
        // size and keyword folders do; a text may quote it.
        QString text = t.text;
        text.remove(QStringLiteral("“未知日期”"));
        EXPECT_FALSE(HasChinese(text))
            << qPrintable(t.where) << " reads \"" << t.text.toStdString() << "\"";
    }
}

inline bool Contains(const std::vector<SeenText>& texts, const QString& text) {
    return std::any_of(texts.begin(), texts.end(),
                       [&](const SeenText& t) { return t.text == text; });
}

// Switches the program's language for a test and back to Chinese after it.
class LanguageScope {
  public:
    explicit LanguageScope(const char* language) { m_loaded = SetLanguage(language); }
    ~LanguageScope() { SetLanguage(kChinese); }
    LanguageScope(const LanguageScope&) = delete;
    LanguageScope& operator=(const LanguageScope&) = delete;
    bool loaded() const { return m_loaded; }

  private:
    bool m_loaded = false;
};

}  // namespace zanfeld::test

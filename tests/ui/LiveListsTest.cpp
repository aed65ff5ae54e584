// The type list and the picture types are read before every file of a run;
// the window keeps what it read and reads again after any change to either
// list, however it was made.

#include <QListWidget>

#include "TempDir.h"
#include "UiTestSupport.h"
#include "Unit1.h"

namespace zanfeld::test {
namespace {

using Patterns = std::vector<std::string>;

class LiveListsTest : public UiTest {
  protected:
    void SetUp() override {
        UiTest::SetUp();
        m_form = std::make_unique<TForm1>(m_dir / "Zanfeld.ini", m_dir.path());
        types = m_form->findChild<QListWidget*>("ListBox2");
        pictures = m_form->findChild<QListWidget*>("ChkLstPic");
        ASSERT_NE(types, nullptr);
        ASSERT_NE(pictures, nullptr);
        types->clear();
        types->addItems({"*.txt", "*.doc"});
    }
    void TearDown() override {
        m_form.reset();
        UiTest::TearDown();
    }

    SortOptions Refresh() {
        m_form->refreshLiveOptions(m_options);
        return m_options;
    }

    TempDir m_dir;
    std::unique_ptr<TForm1> m_form;
    SortOptions m_options;
    QListWidget* types = nullptr;
    QListWidget* pictures = nullptr;
};

TEST_F(LiveListsTest, EveryKindOfChangeIsSeenByTheNextRead) {
    EXPECT_EQ(Refresh().typePatterns, (Patterns{"*.txt", "*.doc"}));

    types->item(0)->setText("*.pdf");
    EXPECT_EQ(Refresh().typePatterns, (Patterns{"*.pdf", "*.doc"}));

    delete types->takeItem(1);
    EXPECT_EQ(Refresh().typePatterns, (Patterns{"*.pdf"}));

    types->insertItem(0, "*.a");
    types->sortItems(Qt::DescendingOrder);
    EXPECT_EQ(Refresh().typePatterns, (Patterns{"*.pdf", "*.a"}));

    types->clear();
    EXPECT_EQ(Refresh().typePatterns, Patterns{});

    const size_t checked = Refresh().picturePatterns.size();
    pictures->item(2)->setCheckState(Qt::Unchecked);
    EXPECT_EQ(Refresh().picturePatterns.size(), checked - 1);
    pictures->item(2)->setCheckState(Qt::Checked);
    EXPECT_EQ(Refresh().picturePatterns.size(), checked);
}

TEST_F(LiveListsTest, AFreshOptionsRecordGetsTheListsToo) {
    Refresh();
    SortOptions other;
    m_form->refreshLiveOptions(other);
    EXPECT_EQ(other.typePatterns, (Patterns{"*.txt", "*.doc"}));
    EXPECT_EQ(other.picturePatterns, m_options.picturePatterns);
    EXPECT_FALSE(other.picturePatterns.empty());
}

}  // namespace
}  // namespace zanfeld::test

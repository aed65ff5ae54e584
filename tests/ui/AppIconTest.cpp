// The application icon: the built-in PNGs at their drawn sizes, and the icon
// theme's own icon before them.

#include <QColor>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <algorithm>

#include "AppIcon.h"
#include "TempDir.h"
#include "UiTestSupport.h"

namespace zanfeld::test {
namespace {

const QList<int> kDrawnSizes = {16, 32, 48, 64, 128, 256};

QString SourcePng(int size) {
    return QStringLiteral(ZANFELD_ICON_DIR "/hicolor/%1x%1/apps/%2.png")
        .arg(size)
        .arg(QString::fromLatin1(kAppId));
}

// Pixmaps keep premultiplied pixels; comparing in that form loses nothing.
QImage Argb(const QImage& image) {
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

class AppIconTest : public UiTest {
  protected:
    void SetUp() override {
        UiTest::SetUp();
        m_searchPaths = QIcon::themeSearchPaths();
        m_themeName = QIcon::themeName();
    }
    void TearDown() override {
        QIcon::setThemeSearchPaths(m_searchPaths);
        QIcon::setThemeName(m_themeName);
        UiTest::TearDown();
    }

    // An icon theme folder of the test's own, holding only what the test puts
    // there. The theme is hicolor, as on a desktop without a theme of its own
    // (the offscreen platform names none).
    void UseOwnThemeFolder() {
        QIcon::setThemeSearchPaths({QString::fromStdString(m_themes.path())});
        QIcon::setThemeName(QStringLiteral("hicolor"));
    }

    TempDir m_themes;

  private:
    QStringList m_searchPaths;
    QString m_themeName;
};

// Each size is its own PNG, of the size its folder names, not another one scaled.
TEST_F(AppIconTest, BuiltInIconGivesEachDrawnSizeAsDrawn) {
    const QIcon icon = BuiltInAppIcon();
    ASSERT_FALSE(icon.isNull());
    QList<int> sizes;
    for (const QSize& s : icon.availableSizes()) {
        EXPECT_EQ(s.width(), s.height());
        sizes << s.width();
    }
    std::sort(sizes.begin(), sizes.end());
    EXPECT_EQ(sizes, kDrawnSizes);
    for (const int size : kDrawnSizes) {
        const QImage source(SourcePng(size));
        ASSERT_EQ(source.size(), QSize(size, size)) << SourcePng(size).toStdString();
        EXPECT_TRUE(source.hasAlphaChannel()) << SourcePng(size).toStdString();
        EXPECT_EQ(Argb(icon.pixmap(QSize(size, size)).toImage()), Argb(source)) << size;
    }
    // The small drawing puts a solid arrow down the middle and the folder's
    // front across the bottom, each a whole pixel: a scaled-down large icon
    // would blend them.
    const QImage image = Argb(icon.pixmap(QSize(16, 16)).toImage());
    EXPECT_EQ(QColor(image.pixel(7, 3)), QColor(0xc0, 0x30, 0x30));
    EXPECT_EQ(QColor(image.pixel(8, 13)), QColor(0xf6, 0xc8, 0x4c));
    EXPECT_EQ(qAlpha(image.pixel(7, 3)), 255);
    EXPECT_EQ(qAlpha(image.pixel(3, 13)), 255);
}

// The icon theme's icon comes first, as an installed icon or a theme's own
// drawing would replace the built-in one; without it the built-in one is used.
TEST_F(AppIconTest, TheThemesIconComesFirst) {
    UseOwnThemeFolder();
    const QIcon builtIn = AppIcon();
    for (const int size : {16, 256}) {
        EXPECT_EQ(Argb(builtIn.pixmap(QSize(size, size)).toImage()), Argb(QImage(SourcePng(size))))
            << size;
    }

    // A hicolor theme whose icon is all magenta.
    const QString theme = QString::fromStdString(m_themes / "hicolor");
    ASSERT_TRUE(QDir().mkpath(theme + QStringLiteral("/16x16/apps")));
    QFile index(theme + QStringLiteral("/index.theme"));
    ASSERT_TRUE(index.open(QIODevice::WriteOnly));
    index.write(
        "[Icon Theme]\nName=Hicolor\nDirectories=16x16/apps\n\n"
        "[16x16/apps]\nSize=16\nContext=Applications\nType=Threshold\n");
    index.close();
    QImage magenta(16, 16, QImage::Format_ARGB32);
    magenta.fill(QColor(0xff, 0x00, 0xff));
    ASSERT_TRUE(magenta.save(
        theme + QStringLiteral("/16x16/apps/%1.png").arg(QString::fromLatin1(kAppId))));
    UseOwnThemeFolder();  // Qt reads the folder afresh

    const QImage image = Argb(AppIcon().pixmap(QSize(16, 16)).toImage());
    ASSERT_EQ(image.size(), QSize(16, 16));
    EXPECT_EQ(QColor(image.pixel(8, 8)), QColor(0xff, 0x00, 0xff));
}

}  // namespace
}  // namespace zanfeld::test

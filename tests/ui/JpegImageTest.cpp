#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include <cstdlib>

#include "ui/JpegImage.h"
#include "ui/SplashPicture.h"

using namespace kvado::ui;

namespace {

bool near(QColor a, QColor b, int tolerance) {
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

} // namespace

TEST(JpegImage, SplashPictureIsStoredAndDecodes) {
    const QImage image = splashPicture();
    ASSERT_EQ(image.size(), QSize(145, 161));
    const QColor lightGreen(102, 255, 102);
    for (QPoint corner : {QPoint(0, 0), QPoint(144, 0), QPoint(0, 160), QPoint(144, 160)})
        EXPECT_TRUE(near(image.pixelColor(corner), lightGreen, 6))
            << corner.x() << "," << corner.y();
    int drawn = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            drawn += !near(image.pixelColor(x, y), lightGreen, 40);
    EXPECT_GT(drawn, image.width() * image.height() / 4) << "a blank picture";
}

// Where Qt has a JPEG reader of its own, both must see the same picture: a mistake in rows,
// strides or colours shows up here.
TEST(JpegImage, AgreesWithQtsOwnReader) {
    const QByteArray data = splashJpegData();
    const QImage theirs = QImage::fromData(data, "JPEG");
    if (theirs.isNull()) GTEST_SKIP() << "this Qt has no JPEG reader";
    const QImage ours = decodeJpeg(data);
    ASSERT_EQ(ours.size(), theirs.size());
    int differing = 0;
    for (int y = 0; y < ours.height(); ++y)
        for (int x = 0; x < ours.width(); ++x)
            differing += !near(ours.pixelColor(x, y), theirs.pixelColor(x, y), 3);
    EXPECT_EQ(differing, 0);
}

TEST(JpegImage, CorruptDataGivesANullImage) {
    const QByteArray splash = splashJpegData();
    ASSERT_GT(splash.size(), 1000);
    // The picture's size in the frame header (after the marker FFC0) made huge.
    QByteArray huge = splash;
    const qsizetype frame = huge.indexOf("\xFF\xC0");
    ASSERT_GT(frame, 0);
    huge.replace(frame + 5, 4, "\xEA\x60\xEA\x60");
    QByteArray garbage(4096, '\0');
    unsigned seed = 12345;
    for (char& c : garbage)
        c = static_cast<char>((seed = seed * 1103515245u + 12345u) >> 16);

    const std::pair<const char*, QByteArray> cases[] = {
        {"empty", QByteArray()},
        {"a start marker alone", QByteArray("\xFF\xD8", 2)},
        {"text", QByteArray("not a picture at all")},
        {"random bytes", garbage},
        {"cut in the headers", splash.left(100)},
        {"cut in the middle", splash.left(splash.size() / 2)},
        {"cut before the end marker", splash.left(splash.size() - 2)},
        {"huge size in the header", huge},
        {"scan data replaced by garbage", splash.left(splash.size() / 3) + garbage},
    };
    for (const auto& [name, data] : cases)
        EXPECT_TRUE(decodeJpeg(data).isNull()) << name;
    // Nothing is left broken for the next picture.
    EXPECT_FALSE(decodeJpeg(splash).isNull());
}

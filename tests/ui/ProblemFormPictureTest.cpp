#include <gtest/gtest.h>

#include <QImage>

#include "ui/ProblemFormPicture.h"

using namespace kvado::ui;

TEST(ProblemFormPicture, IsBlackOnWhiteOfTheWindowsSize) {
    const QImage image = makeProblemFormPicture();
    ASSERT_EQ(image.size(), QSize(469, 146));
    EXPECT_EQ(image.format(), QImage::Format_Mono);
    int black = 0, white = 0, blackOnEdge = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb px = image.pixel(x, y);
            white += px == qRgb(255, 255, 255);
            if (px != qRgb(0, 0, 0)) continue;
            ++black;
            blackOnEdge += x < 2 || y < 2 || x >= image.width() - 2 || y >= image.height() - 2;
        }
    EXPECT_EQ(black + white, image.width() * image.height());
    // Mostly white paper with a good deal of writing, none of it cut off at the edges.
    EXPECT_GT(black, image.width() * image.height() / 40);
    EXPECT_GT(white, image.width() * image.height() / 2);
    EXPECT_EQ(blackOnEdge, 0);
}

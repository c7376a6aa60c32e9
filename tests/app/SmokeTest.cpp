// SPDX-License-Identifier: GPL-3.0-or-later
#include <QWidget>

#include <gtest/gtest.h>

TEST(OffscreenPlatform, ShowsAWidgetWithoutADisplay)
{
    QWidget w;
    w.resize(10, 10);
    w.show();
    EXPECT_TRUE(w.isVisible());
}

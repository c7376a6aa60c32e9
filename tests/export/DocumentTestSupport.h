// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "export/PlanePng.h"
#include "export/PrtWriter.h"
#include "export/SmfWriter.h"
#include "export/SswWriter.h"
#include "export/SyxWriter.h"
#include "recording/Document.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace lumidot::testing {

// What the user would compare: every export's bytes and the plane.
inline void expectSameDocument(const Document& a, const Document& b)
{
    EXPECT_EQ(FileSaveData(a.recording), FileSaveData(b.recording));
    EXPECT_EQ(EXPORT_SMF(a.recording, a.stepTick), EXPORT_SMF(b.recording, b.stepTick));
    EXPECT_EQ(Export_PRT(a.recording, a.stepTick).bytes, Export_PRT(b.recording, b.stepTick).bytes);
    EXPECT_EQ(EXPORT_SSW(a.recording).bytes, EXPORT_SSW(b.recording).bytes);
    EXPECT_EQ(encodePlanePng(a.plane), encodePlanePng(b.plane));
    EXPECT_EQ(a.window, b.window);
    EXPECT_EQ(a.lines, b.lines);
    EXPECT_EQ(a.colour, b.colour);
    EXPECT_EQ(a.effect.effect1, b.effect.effect1);
    EXPECT_EQ(a.effect.effect2, b.effect.effect2);
    EXPECT_EQ(a.effect.mode, b.effect.mode);
    EXPECT_EQ(a.stepTick, b.stepTick);
    EXPECT_EQ(a.tempo, b.tempo);
    EXPECT_EQ(a.recording.edgeTiming(), b.recording.edgeTiming());
    EXPECT_TRUE(std::ranges::equal(a.recording.waits(), b.recording.waits()));
}

} // namespace lumidot::testing

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "document/Workspace.h"
#include "recording/StepEdits.h"

#include <optional>
#include <random>
#include <string>

namespace lumidot::testing {

// A session of window actions chosen by a seeded generator, the same from
// the same seed: pen dots, region commands, records of each page, page
// settings, step edits, undo and redo.
class ScriptedSession {
public:
    explicit ScriptedSession(unsigned seed)
        : random_(seed)
    {
    }

    void act(Workspace& on)
    {
        switch (pick(13)) {
        case 0: {
            const auto action = on.transaction("pen");
            for (int k = pick(20) + 1; k > 0; --k)
                on.document().plane.setDot(pick(200) - 100, pick(100) - 50, 1);
            break;
        }
        case 1: on.recordWindow(); break;
        case 2: on.setLines({"Line " + std::to_string(pick(1000)), pick(2) ? "two" : ""}, pick(2) == 0); break;
        case 3: on.moveWindow({pick(64) - 32, pick(32) - 16}, pick(2) == 0); break;
        case 4: on.setColour(static_cast<LcdColour>(pick(4)), pick(2) == 0); break;
        // Choosing an effect and recording it are two actions of the user,
        // each one kept by the journal on its own.
        case 5:
            if (pick(2))
                on.setEffect(FxParam::Effect1, static_cast<std::uint8_t>(pick(kEffectCount)));
            else
                on.recordEffect();
            break;
        case 6: on.invert({pick(100) - 50, pick(50) - 25, 32, 16}, pick(2) == 0); break;
        case 7: on.undo(); break;
        case 8: on.redo(); break;
        case 9: {
            const int steps = on.document().recording.StepCount();
            if (steps > 0)
                on.setStepLengths(pick(steps), 1, 1 + pick(1920));
            break;
        }
        case 10: on.setStartOffset(pick(2) ? std::optional<int>(pick(960)) : std::nullopt); break;
        case 11: on.setTempo(60 + pick(120)); break;
        default: {
            const int steps = on.document().recording.StepCount();
            if (steps > 2)
                on.editSteps("move", [&](Recording& r) { return moveSteps(r, 0, 1, steps - 1); });
            else
                on.setStepTick(static_cast<std::uint8_t>(pick(127) + 1));
            break;
        }
        }
    }

private:
    int pick(int below) { return static_cast<int>(random_() % static_cast<unsigned>(below)); }

    std::mt19937 random_;
};

} // namespace lumidot::testing

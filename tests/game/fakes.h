// Stand-ins for the program around the board: they record what the board
// asked of them.
#pragma once

#include <string>
#include <vector>

#include "game/board_host.h"

namespace ravu::test {

struct FakeAsker : IPromotionAsker {
    int answer = 1;
    int calls = 0;
    int lastX = 0, lastY = 0;
    int AskPromotion(int x, int y) override {
        ++calls;
        lastX = x;
        lastY = y;
        return answer;
    }
};

struct FakeSound : IPieceSound {
    bool available = true;  // false: the sound resource is missing
    int plays = 0;
    bool PlayPieceSound() override {
        ++plays;
        return available;
    }
};

struct FakeSetting : ISoundSetting {
    bool on = true;
    bool IsSoundOn() const override { return on; }
};

struct FakeMessages : IBoardMessages {
    std::vector<std::string> shown;
    void ShowInternalError(const std::string& text) override { shown.push_back(text); }
};

}  // namespace ravu::test

// The main window's fixed geometry: control strip buttons, drag margin,
// window shape.
#include <gtest/gtest.h>

#include "ui/main_dlg.h"

namespace ravu {
namespace {

TEST(StripButtons, EdgesBelongToTheRightButton) {
    struct Case {
        QPoint p;
        int button;
    } cases[] = {
        {{72, 359}, 0},   {{74, 340}, -1}, {{75, 340}, 1},  {{32, 340}, -1},   {{33, 319}, -1},
        {{33, 360}, -1},  {{492, 359}, 10}, {{495, 340}, -1}, {{537, 340}, -1},
    };
    for (int i = 0; i <= 10; ++i) {
        EXPECT_EQ(static_cast<int>(StripButtonAt({33 + 42 * i, 320})), i) << i;   // each button's top-left corner
        EXPECT_EQ(static_cast<int>(StripButtonAt({73 + 42 * i, 320})), -1) << i;  // the gap after it
    }
    for (const Case& c : cases)
        EXPECT_EQ(static_cast<int>(StripButtonAt(c.p)), c.button) << c.p.x() << "," << c.p.y();
}

TEST(DragMargin, IsTheStripOutsideItsInside) {
    CProfile profile;
    CMainDlg dlg(profile, QString());
    struct Case {
        QPoint p;
        int inMargin;
    } cases[] = {
        {{0, 350}, 1},   {{20, 350}, 1},  {{21, 350}, 0},  {{549, 350}, 0}, {{550, 350}, 1},
        {{567, 350}, 1}, {{568, 350}, 0}, {{300, 310}, 1}, {{300, 314}, 1}, {{300, 315}, 0},
        {{300, 406}, 0}, {{300, 407}, 1}, {{300, 409}, 1}, {{300, 410}, 0}, {{300, 309}, 0},
        {{300, 100}, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(dlg.InDragMargin(c.p), c.inMargin) << c.p.x() << "," << c.p.y();
}

TEST(WindowRegion, CoversTheAreasAndNotTheGaps) {
    const QRegion r = CMainDlg::WindowRegion();
    struct Case {
        QPoint p;
        bool inside;
    } cases[] = {
        {{0, 0}, true},      {{125, 135}, true},  {{126, 10}, false},  {{125, 136}, false},
        {{129, 0}, true},    {{438, 299}, true},  {{439, 100}, false}, {{128, 100}, false},
        {{442, 164}, true},  {{567, 299}, true},  {{500, 163}, false}, {{568, 200}, false},
        {{47, 141}, true},   {{76, 156}, true},   {{78, 150}, true},   {{60, 158}, true},   {{78, 158}, false},   {{49, 143}, true},
        {{80, 150}, false},  {{46, 150}, false},  {{489, 141}, true},  {{520, 150}, true},
        {{522, 150}, false}, {{0, 310}, true},    {{567, 409}, true},  {{300, 305}, false},
        {{300, 410}, false}, {{200, 150}, true},  {{100, 200}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(r.contains(c.p), c.inside) << c.p.x() << "," << c.p.y();
}

}  // namespace
}  // namespace ravu

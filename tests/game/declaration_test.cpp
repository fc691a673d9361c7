// The entering-king declaration: positions at and just below each line.
#include <gtest/gtest.h>

#include <string>

#include "game/declaration.h"
#include "tests/game/position.h"

namespace ravu {
namespace {

// Sente: king on 5二, ten pieces in gote's camp worth 26 (a dragon, a rook,
// a horse and a bishop count 5 each), a pawn on 1四 outside the camp that
// counts nothing, gote's king far away.
const std::string SENTE_CAMP =
    "sGY52 s+HI11 sHI21 s+KA31 sKA41 sKI12 sKI22 sGI32 sGI42 sKE13 sKE23 sFU14 gOU99";
// Gote: king on 5八, ten pieces in sente's camp worth 26, sente's king far away.
const std::string GOTE_CAMP = "gOU58 g+HI99 gHI89 gKA79 g+KA69 gKI98 gKI88 gGI78 gGI68 gKE97 gKE87 sGY11";

TEST(Declaration, PointsPiecesKingAndCheck) {
    const struct {
        const char* what;
        std::string position;
        int side, points, pieces;
        bool may;
        // clang-format off
    } rows[] = {
        {"sente 28", SENTE_CAMP + " sFU00 sFU00", SENTE, 28, 10, true},
        {"sente 27", SENTE_CAMP + " sFU00", SENTE, 27, 10, false},
        {"sente 9 pieces", "sGY52 s+HI11 sHI21 s+KA31 sKA41 sKI12 sKI22 sGI32 sGI42 sKE13 sKE00 sFU00 sFU00 gOU99", SENTE, 28, 9, false},
        {"sente king outside", "sGY54 s+HI11 sHI21 s+KA31 sKA41 sKI12 sKI22 sGI32 sGI42 sKE13 sKE23 sFU00 sFU00 gOU99", SENTE, 28, 10, false},
        {"sente in check", SENTE_CAMP + " sFU00 sFU00 gKI53", SENTE, 28, 10, false},
        {"sente's camp is not gote's", SENTE_CAMP + " sFU00 sFU00", GOTE, 0, 0, false},
        {"gote 27", GOTE_CAMP + " gFU00", GOTE, 27, 10, true},
        {"gote 26", GOTE_CAMP, GOTE, 26, 10, false},
        {"gote king outside", "gOU56 g+HI99 gHI89 gKA79 g+KA69 gKI98 gKI88 gGI78 gGI68 gKE97 gKE87 gFU00 sGY11", GOTE, 27, 10, false},
        {"gote in check", GOTE_CAMP + " gFU00 sKI57", GOTE, 27, 10, false},
    };
    // clang-format on
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        CShogiBoard board;
        test::Arrange(board, r.position);
        EXPECT_EQ(DeclarationPoints(board, r.side), r.points);
        EXPECT_EQ(PiecesInEnemyCamp(board, r.side), r.pieces);
        EXPECT_EQ(MayDeclare(board, r.side), r.may);
    }
}

}  // namespace
}  // namespace ravu

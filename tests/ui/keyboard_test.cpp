// Playing without the pointer: moves typed into the record window's move
// field or the chat input with the move mark are made exactly as clicked
// ones; entries that are not moves say why and send nothing.  Screen
// readers: every control has a name, and a received move is announced.
#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include "main_test_support.h"
#include "record/list_notation.h"
#include "ui/about_dlg.h"
#include "ui/analysis_dlg.h"
#include "ui/balloon_dlg.h"
#include "ui/chat_log_dlg.h"
#include "ui/connect_dlg.h"
#include "ui/image_button.h"
#include "ui/kifu_dlg.h"
#include "ui/promote_dlg.h"
#include "ui/settings_dlg.h"
#include "ui/turn_dlg.h"
#include "ui/window_util.h"

namespace ravu::test {
namespace {

class KeyboardTest : public DataFolderTest {
protected:
    CKifuDlg* Kifu() { return static_cast<CKifuDlg*>(dlg->kifuWnd.get()); }
    void TypeIntoField(const QString& text) {
        Kifu()->MoveField()->setText(text);
        QTest::keyClick(Kifu()->MoveField(), Qt::Key_Return);
    }
    void TypeIntoChat(const QString& text) {
        dlg->ChatInput()->setText(text);
        QTest::keyClick(dlg->ChatInput(), Qt::Key_Return);
    }
};

// The same move by two clicks, by the move field and by the chat input: the
// same packet, record entry and picture; a promotion typed is not asked.
TEST_F(KeyboardTest, TypedMovesAreMadeAsClickedOnes) {
    struct Case {
        int from, to;       // the clicks (file * 10 + rank)
        int promoteAnswer;  // 0: not asked; else sente's silver stands on 4四 first
        const char* field;
        const char* chat;
        const char* sent;
    } const cases[] = {
        {77, 76, 0, "７六歩", "/7g7f", "   1 ７六歩(77) "},
        {77, 76, 0, "P-7f", "／▲76歩", "   1 ７六歩(77) "},
        {44, 43, CPromoteDlg::RESULT_PROMOTE, "43銀成", "/4d4c+", "   1 ４三銀成(44) "},
        {44, 43, CPromoteDlg::RESULT_KEEP, "S-4c=", "/43銀不成", "   1 ４三銀(44) "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        std::vector<CFakeLink::Sent> sent[3];
        std::string record[3];
        QImage screen[3];
        for (int way = 0; way < 3; ++way) {
            StartConnectedGame(SENTE);
            if (c.promoteAnswer) {
                dlg->board.MoveTo(26, 4, 4);
                dlg->Redraw(false);
            }
            int asked = 0;
            if (way == 0) {
                if (c.promoteAnswer)
                    QTimer::singleShot(0, dlg.get(), [&] {
                        ++asked;
                        auto* d = qobject_cast<CPromoteDlg*>(QApplication::activeModalWidget());
                        ASSERT_NE(d, nullptr);
                        (c.promoteAnswer == CPromoteDlg::RESULT_PROMOTE ? d->PromoteButton()
                                                                        : d->KeepButton())
                            ->click();
                    });
                Click(SquarePoint(c.from / 10, c.from % 10));
                Click(SquarePoint(c.to / 10, c.to % 10));
                EXPECT_EQ(asked, c.promoteAnswer ? 1 : 0);
            } else if (way == 1) {
                TypeIntoField(QString::fromUtf8(c.field));
                EXPECT_EQ(Kifu()->MoveStatus()->text() + Kifu()->MoveField()->text(), QString());
            } else {
                TypeIntoChat(QString::fromUtf8(c.chat));
                EXPECT_EQ(dlg->ChatInput()->text(), QString());
            }
            sent[way] = connectLink.Take();
            record[way] = MainLine(dlg->record);
            screen[way] = dlg->ScreenImage();
        }
        ASSERT_EQ(sent[0].size(), 1u);
        EXPECT_EQ(sent[0][0].type, uint8_t(PKT_MOVE));
        EXPECT_EQ(sent[0][0].text, Utf8ToSjis(c.sent));
        for (int way = 1; way < 3; ++way) {
            SCOPED_TRACE(way);
            EXPECT_TRUE(sent[way] == sent[0]);
            EXPECT_EQ(record[way], record[0]);
            EXPECT_TRUE(screen[way] == screen[0]);
        }
    }
}

// Entries that are not a move here: the reason beside the field or in the
// chat log, the text kept for mending, nothing sent, nothing recorded.
TEST_F(KeyboardTest, RefusedEntriesSayWhyAndSendNothing) {
    struct Case {
        int side;
        bool field;
        const char* text;
        const char* reason;
    } const cases[] = {
        {SENTE, true, "58金",
         "「58金」: 行ける駒が複数あります（４九の駒なら「右」、６九の駒なら「左」）。"
         "右・左・上・引・寄・直か移動元を付けてください。"},
        {SENTE, false, "/55角打", "「55角打」: その駒は持ち駒にありません。"},
        {SENTE, true, "7g7f+", "「7g7f+」: この手では成れません。"},
        {SENTE, false, "/hello",
         "「hello」: 指し手として読めません（例: ７六歩、同歩、58金右、7g7f、P-7f）。"},
        {GOTE, true, "34歩", "相手の手番です。"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        StartConnectedGame(c.side);
        log->lines.clear();
        const std::string before = MainLine(dlg->record);
        QString shown;
        if (c.field) {
            TypeIntoField(QString::fromUtf8(c.text));
            shown = Kifu()->MoveStatus()->text();
            EXPECT_EQ(Kifu()->MoveField()->text(), QString::fromUtf8(c.text));
            EXPECT_EQ(Kifu()->MoveField()->accessibleDescription(), shown);
        } else {
            TypeIntoChat(QString::fromUtf8(c.text));
            ASSERT_EQ(log->lines.size(), 1u);
            shown = QString::fromStdString(log->lines[0]);
            EXPECT_EQ(dlg->ChatInput()->text(), QString::fromUtf8(c.text));
        }
        EXPECT_EQ(shown.toStdString(), std::string(c.field ? "" : "◆ ") + c.reason);
        EXPECT_TRUE(connectLink.Take().empty());
        EXPECT_EQ(MainLine(dlg->record), before);
        EXPECT_EQ(dlg->board.HeldPiece(), -1);
    }
}

// "//" sends a chat line that starts with one "/"; other lines are chat.
TEST_F(KeyboardTest, DoubledMoveMarkIsChat) {
    struct Case {
        const char* typed;
        const char* said;  // the end of the chat line sent
    } const cases[] = {
        {"//7g7f", ">/7g7f"},
        {"hello/", ">hello/"},
    };
    StartConnectedGame(SENTE);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        TypeIntoChat(QString::fromUtf8(c.typed));
        const std::vector<CFakeLink::Sent> sent = connectLink.Take();
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0].type, uint8_t(PKT_CHAT));
        const QString text = QString::fromStdString(SjisToUtf8(sent[0].text));
        EXPECT_TRUE(text.endsWith(QString::fromUtf8(c.said))) << text.toStdString();
    }
    EXPECT_EQ(MainLine(dlg->record), ";");
}

// The move list's menu writes the moves in another notation, for display
// only: the record's text, the KIF copy and the moves sent stay Japanese; the
// choice goes to the settings and holds for the lines added later.
TEST_F(KeyboardTest, MoveListNotationIsForDisplayOnly) {
    struct Case {
        int notation;
        const char* line1;
        const char* line3;  // after a move made afterwards
    } const cases[] = {
        {NOTATION_WESTERN, "   1 P-7f", "   3 Bx2b+"},
        {NOTATION_JAPANESE, "   1 ７六歩(77) ", "   3 ２二角成(88) "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.notation);
        StartConnectedGame(SENTE);
        RecordMoves({{77, 76}, {33, 34}});
        QListWidget* list = Kifu()->MoveList();
        ASSERT_EQ(list->count(), 3);
        const std::string kif = dlg->record.KifText("x.kif");
        for (QAction* a : list->actions())
            if (a->data().toInt() == c.notation)
                a->trigger();
        EXPECT_EQ(profile.GetMoveNotation(), c.notation);
        EXPECT_EQ(dlg->record.KifText("x.kif"), kif);
        EXPECT_EQ(list->item(1)->text().toStdString(), c.line1);
        TypeIntoField(QStringLiteral("22角成"));
        ASSERT_EQ(list->count(), 4);
        EXPECT_EQ(list->item(3)->text().toStdString(), c.line3);
        const std::vector<CFakeLink::Sent> sent = connectLink.Take();
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0].text, Utf8ToSjis("   3 ２二角成(88) "));
    }
}

// The painted strip buttons and turn labels have keys for the keyboard and
// screen readers; pressing one does what a click on the picture does.
TEST_F(KeyboardTest, PictureKeysActAsClicks) {
    struct Case {
        const char* key;
        bool flipped;
        QPoint point;
    } const cases[] = {
        {"strip3", false, StripPoint(3)},    // auto-replay starts
        {"strip10", false, StripPoint(10)},  // the settings dialog
        {"senteReach", false, RIGHT_LABEL_CLICK.center()},
        {"goteReach", false, LEFT_LABEL_CLICK.center()},
        {"senteReach", true, LEFT_LABEL_CLICK.center()},  // sente's label is on the left when turned
    };
    // What a press or a click may change: the picture, the settings dialog's runs, the replay.
    const auto snap = [&] {
        return std::tuple(dlg->ScreenImage(), settingsDialog->runs, dlg->AutoplayRunning());
    };
    const auto reset = [&](bool flipped) {
        Click(StripPoint(4));  // stops the replay
        if ((dlg->Flipped() != 0) != flipped)
            dlg->OnCommand(ID_FLIP);
        dlg->Redraw(true);
        settingsDialog->runs = 0;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.key) + (c.flipped ? " turned" : ""));
        auto* key = dlg->findChild<QAbstractButton*>(QString::fromUtf8(c.key));
        ASSERT_NE(key, nullptr);
        reset(c.flipped);
        const auto before = snap();
        key->click();
        const auto byKey = snap();
        reset(c.flipped);
        Click(c.point);
        EXPECT_TRUE(byKey == snap());
        EXPECT_FALSE(byKey == before);
    }
}

// What was announced to screen readers while a test runs.
std::vector<std::pair<QWidget*, QString>>* announced = nullptr;
void KeepAnnouncement(QWidget* w, const QString& text) {
    if (announced)
        announced->push_back({w, text});
}

// A move received from the host (played or replayed to a spectator) becomes
// the board's description, and screen readers are told; the own move is not.
TEST_F(KeyboardTest, ReceivedMovesAreAnnounced) {
    std::vector<std::pair<QWidget*, QString>> heard;
    announced = &heard;
    SetAnnouncementListener(KeepAnnouncement);
    struct Step {
        uint8_t type;
        const char* text;
        const char* said;  // empty: nothing
    } const steps[] = {
        {PKT_OBSERVE, "1", ""},
        {PKT_CHUNK_END, "   1 ７六歩(77) ;   2 ３四歩(33) ;;", "△３四歩"},
        {PKT_MOVE, "   3 ２二角成(88) ", "▲２二角成"},
        {PKT_MOVE, "   4 同　銀(31) ", "△同　銀"},
    };
    const auto told = [&](const char* said) {
        using Heard = std::vector<std::pair<QWidget*, QString>>;
        const Heard expected = *said ? Heard{{dlg.get(), QString::fromUtf8(said)}} : Heard{};
        EXPECT_EQ(heard, expected);
        if (*said) {
            EXPECT_EQ(dlg->accessibleDescription(), QString::fromUtf8(said));
        }
        heard.clear();
    };
    connectLink.ownHandle = 1;
    dlg->protocol->connState = CONN_GUEST;
    for (const Step& s : steps) {
        SCOPED_TRACE(s.text);
        FromHost(s.type, s.text);
        told(s.said);
    }
    StartConnectedGame(SENTE);
    heard.clear();
    Click(SquarePoint(7, 7));
    Click(SquarePoint(7, 6));
    told("");
    // The control with the keyboard focus is told too: a screen reader reads its changes.
    Kifu()->show();
    QApplication::setActiveWindow(Kifu());
    Kifu()->MoveField()->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), Kifu()->MoveField());
    FromHost(PKT_MOVE, "   2 ３四歩(33) ");
    told("△３四歩");
    EXPECT_EQ(Kifu()->MoveField()->accessibleDescription(), QStringLiteral("△３四歩"));
    SetAnnouncementListener(nullptr);
    announced = nullptr;
}

// The controls a user reaches (by the keyboard or as a button) without a
// name that a screen reader would read.
QStringList UnnamedControls(QWidget* top) {
    QStringList unnamed;
    QList<QWidget*> all = top->findChildren<QWidget*>();
    all.prepend(top);
    for (QWidget* w : all) {
        if (qobject_cast<QScrollBar*>(w) || qobject_cast<QAbstractSpinBox*>(w->parentWidget()) ||
            qobject_cast<QComboBox*>(w->parentWidget()))
            continue;  // parts of a control, named with it
        const bool interactive =
            w == top || qobject_cast<CImageButton*>(w) || w->focusPolicy() != Qt::NoFocus;
        if (!interactive)
            continue;
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        if (!a || a->text(QAccessible::Name).trimmed().isEmpty())
            unnamed << QStringLiteral("%1 (%2)").arg(w->objectName(), w->metaObject()->className());
    }
    return unnamed;
}

TEST_F(KeyboardTest, EveryControlHasAName) {
    CChatLogDlg chatLog(&profile.GetChatLogRect(), dlg.get());
    CSettingsDlg settings(&profile, dlg.get());
    CGameSocket socket;
    IdleOwner owner;
    std::string listText;
    CConnectDlg connect(&socket, &listText, &profile, &owner, dlg.get());
    CTurnDlg turn(&profile, &owner, dlg.get());
    CAboutDlg about(dlg.get());
    CBalloonDlg balloon(dlg.get());
    CPromoteDlg promote(dlg.get());
    CAnalysisDlg analysis(&dlg->record, &profile, dlg.get());
    StartConnectedGame(SENTE);  // the chat input is shown
    const std::vector<QWidget*> windows = {
        dlg.get(), dlg->kifuWnd->Window(), &chatLog, &settings, &connect, &turn, &about, &balloon, &promote,
        &analysis};
    for (QWidget* w : windows) {
        SCOPED_TRACE(w->metaObject()->className());
        EXPECT_EQ(UnnamedControls(w).join(QStringLiteral(", ")).toStdString(), "");
    }
    // The balloon's buttons exist while it asks or tells.
    QStringList whileAsking;
    QTimer::singleShot(0, &balloon, [&] {
        whileAsking = UnnamedControls(&balloon);
        EXPECT_EQ(balloon.findChildren<CImageButton*>().size(), 2);
        QTest::keyClick(&balloon, Qt::Key_Escape);
    });
    EXPECT_EQ(balloon.Ask(QStringLiteral("q")), 2);
    EXPECT_EQ(whileAsking.join(QStringLiteral(", ")).toStdString(), "");
    balloon.Tell(QStringLiteral("notice"));
    EXPECT_EQ(UnnamedControls(&balloon).join(QStringLiteral(", ")).toStdString(), "");
}

}  // namespace
}  // namespace ravu::test

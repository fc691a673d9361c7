#include "ui/analysis_dlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <optional>

#include "app/record_analyzer.h"
#include "app/settings.h"
#include "app/textcodec.h"
#include "app/usi_engine.h"
#include "record/analysis.h"
#include "record/kifu.h"
#include "record/move_tracker.h"
#include "record/record_path.h"
#include "ui/eval_graph.h"
#include "ui/window_util.h"

namespace ravu {

namespace {

QString Utf(const std::string& sjis) { return QString::fromUtf8(SjisToUtf8(sjis)); }

// "+123", "-45", "先手勝ち（5手詰）" as a player reads an evaluation.
QString EvaluationText(const Evaluation& e) {
    if (!e.known)
        return QStringLiteral("—");
    if (e.mate) {
        const int plies = std::abs(e.value);
        if (plies >= MATE_UNKNOWN_PLIES)
            return e.value > 0 ? CAnalysisDlg::tr("先手勝ち") : CAnalysisDlg::tr("後手勝ち");
        return e.value > 0 ? CAnalysisDlg::tr("先手勝ち（%1手詰）").arg(plies)
                           : CAnalysisDlg::tr("後手勝ち（%1手詰）").arg(plies);
    }
    return (e.value > 0 ? QStringLiteral("+") : QString()) + QString::number(e.value);
}

}  // namespace

CAnalysisDlg::CAnalysisDlg(CKifuControl* record, CProfile* profile, QWidget* mainWnd)
    : QDialog(mainWnd,
              Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      record(record),
      profile(profile) {
    setWindowTitle(tr("解析"));
    setObjectName(QStringLiteral("analysis"));

    engineEdit = new QLineEdit(Utf(profile->GetEngineCommand()), this);
    engineEdit->setObjectName(QStringLiteral("engine"));
    engineEdit->setAccessibleName(tr("エンジンのコマンド"));
    timeSpin = new QSpinBox(this);
    timeSpin->setObjectName(QStringLiteral("time"));
    timeSpin->setAccessibleName(tr("1手の解析時間"));
    timeSpin->setRange(ENGINE_TIME_MIN_MS, ENGINE_TIME_MAX_MS);
    timeSpin->setSingleStep(100);
    timeSpin->setSuffix(QStringLiteral(" ms"));
    timeSpin->setValue(profile->GetEngineTimeMs());
    variationsCheck = new QCheckBox(tr("変化も"), this);
    variationsCheck->setObjectName(QStringLiteral("variations"));
    analyseButton = new QPushButton(tr("棋譜解析"), this);
    analyseButton->setObjectName(QStringLiteral("analyse"));
    progress = new QProgressBar(this);
    progress->setObjectName(QStringLiteral("progress"));
    progress->setRange(0, 1);
    progress->setValue(0);
    graph = new CEvalGraph(this);
    liveCheck = new QCheckBox(tr("検討"), this);
    liveCheck->setObjectName(QStringLiteral("live"));
    liveCheck->setToolTip(tr("盤面の局面をエンジンが読み続けます"));
    previewButton = new QPushButton(tr("読み筋を盤に"), this);
    previewButton->setObjectName(QStringLiteral("preview"));
    keepButton = new QPushButton(tr("変化に残す"), this);
    keepButton->setObjectName(QStringLiteral("keep"));
    lineBox = new QPlainTextEdit(this);
    lineBox->setObjectName(QStringLiteral("line"));
    lineBox->setAccessibleName(tr("評価値と読み筋"));
    lineBox->setReadOnly(true);
    lineBox->setMaximumHeight(56);
    status = new QLabel(this);
    status->setObjectName(QStringLiteral("status"));
    status->setTextFormat(Qt::PlainText);  // engine output is never rich text
    status->setWordWrap(true);

    auto* engineRow = new QHBoxLayout;
    engineRow->addWidget(new QLabel(tr("エンジン"), this));
    engineRow->addWidget(engineEdit, 1);
    engineRow->addWidget(timeSpin);
    auto* runRow = new QHBoxLayout;
    runRow->addWidget(analyseButton);
    runRow->addWidget(variationsCheck);
    runRow->addWidget(progress, 1);
    auto* lineRow = new QHBoxLayout;
    lineRow->addWidget(liveCheck);
    lineRow->addStretch(1);
    lineRow->addWidget(previewButton);
    lineRow->addWidget(keepButton);
    auto* all = new QVBoxLayout(this);
    all->addLayout(engineRow);
    all->addLayout(runRow);
    all->addWidget(graph, 1);
    all->addLayout(lineRow);
    all->addWidget(lineBox);
    all->addWidget(status);
    resize(420, 330);

    connect(analyseButton, &QPushButton::clicked, this, [this] { StartOrCancel(); });
    connect(liveCheck, &QCheckBox::toggled, this, [this](bool on) { LiveToggled(on); });
    connect(graph, &CEvalGraph::plyClicked, this, &CAnalysisDlg::plyChosen);
    connect(previewButton, &QPushButton::clicked, this, &CAnalysisDlg::previewRequested);
    connect(keepButton, &QPushButton::clicked, this, &CAnalysisDlg::keepRequested);
    connect(engineEdit, &QLineEdit::editingFinished, this, [this] { SaveEngineSettings(); });
    connect(timeSpin, &QSpinBox::valueChanged, this, [this] { SaveEngineSettings(); });
    RecordChanged(false);
}

CAnalysisDlg::~CAnalysisDlg() {
    // The analyzer writes into the record, which the main window owns: it
    // goes first, with the live engine.
    analyzer.reset();
    live.reset();
    // The dialog hides as it goes, and the engine field losing the focus
    // then must not reach this window, whose own part is gone by then.
    for (QObject* child : findChildren<QObject*>())
        child->disconnect(this);
}

void CAnalysisDlg::hideEvent(QHideEvent* e) {
    QDialog::hideEvent(e);
    liveCheck->setChecked(false);
}

void CAnalysisDlg::SaveEngineSettings() {
    profile->SetEngineCommand(Utf8ToSjis(engineEdit->text().trimmed().toStdString()));
    profile->SetEngineTimeMs(timeSpin->value());
}

void CAnalysisDlg::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    RecordChanged(false);
}

void CAnalysisDlg::RecordChanged(bool replaced) {
    if (replaced && analyzer)
        analyzer->Cancel();
    if (replaced)
        shownCommand.clear();
    // Every recorded move of a game passes here: a hidden window catches up when shown.
    if (!isVisible())
        return;
    // The main line's evaluations, from the comments (the start has none).
    std::vector<std::optional<int>> values{std::nullopt};
    std::vector<bool> bad{false};
    Evaluation before;
    for (const KifuNode* e = record->kifu.Root(); e && e->filled && IsBoardMove(*e->move); e = e->next) {
        const Evaluation after = EvaluationOf(e->move->comment);
        values.push_back(after.known ? std::optional<int>(GraphValue(after)) : std::nullopt);
        bad.push_back(IsBadMove(before, after, e->move->side));
        before = after;
    }
    graph->SetPoints(std::move(values), std::move(bad), GRAPH_LIMIT_CP);
    if (replaced) {
        PositionShown(nullptr);
    } else if (liveLine.empty()) {
        ShowShownComment();  // an analysis may have written it
    }
}

void CAnalysisDlg::PositionShown(const KifuNode* entry) {
    // Called at every redraw: only a new position is news.
    std::string command = PositionCommand(record->kifu, entry);
    RecordPath path = PathOf(record->kifu, entry).value_or(RecordPath{});
    if (command == shownCommand && path == shownPath)
        return;
    shownCommand = std::move(command);
    shownPath = std::move(path);
    const bool mainLine = std::ranges::all_of(shownPath, [](int i) { return i == 0; });
    graph->SetCurrent(mainLine ? int(shownPath.size()) : -1);
    liveLine.clear();
    ShowShownComment();
    if (live)
        SearchShown();
}

void CAnalysisDlg::ShowShownComment() {
    const KifuNode* e = EntryAt(record->kifu, shownPath);
    ShowLine(e ? e->move->comment : record->kifu.header.headerComment);
}

void CAnalysisDlg::ShowLine(const std::string& comment) {
    const Evaluation e = EvaluationOf(comment);
    const std::string pv = PvOf(comment);
    if (!e.known && pv.empty()) {
        lineBox->clear();
        return;
    }
    lineBox->setPlainText(tr("評価値 ") + EvaluationText(e) + QStringLiteral("\n") + Utf(pv));
}

void CAnalysisDlg::SetEngineAllowed(bool on) {
    if (on == allowed)
        return;
    allowed = on;
    if (!allowed) {
        if (analyzer)
            analyzer->Cancel();
        liveCheck->setChecked(false);
    }
    analyseButton->setEnabled(allowed);
    liveCheck->setEnabled(allowed);
    status->setText(allowed ? QString() : tr("対局中はエンジンを使えません。"));
}

void CAnalysisDlg::StartOrCancel() {
    if (analyzer) {
        analyzer->Cancel();
        return;
    }
    if (!allowed)
        return;
    SaveEngineSettings();
    liveCheck->setChecked(false);  // one engine at a time
    analyzer = std::make_unique<CRecordAnalyzer>(record->kifu);
    connect(analyzer.get(), &CRecordAnalyzer::progress, this, [this](int done, int total) {
        progress->setRange(0, std::max(1, total));
        progress->setValue(done);
        RecordChanged(false);
        emit recordAnalysed();
    });
    connect(analyzer.get(), &CRecordAnalyzer::finished, this, [this](bool cancelled) { Ended(cancelled); });
    connect(analyzer.get(), &CRecordAnalyzer::failed, this, [this](const QString& why) { Failed(why); });
    analyseButton->setText(tr("中止"));
    status->setText(tr("解析中…"));
    analyzer->Start(engineEdit->text().trimmed(), timeSpin->value(), variationsCheck->isChecked());
}

void CAnalysisDlg::Ended(bool cancelled) {
    analyseButton->setText(tr("棋譜解析"));
    status->setText(cancelled ? tr("解析を中止しました。") : tr("解析が終わりました。"));
    // Not deleted inside its own signal.
    if (analyzer)
        analyzer.release()->deleteLater();
    RecordChanged(false);
    emit recordAnalysed();
}

void CAnalysisDlg::Failed(const QString& message) {
    status->setText(message);
    if (analyzer) {
        analyseButton->setText(tr("棋譜解析"));
        analyzer.release()->deleteLater();
        RecordChanged(false);
        emit recordAnalysed();
    }
}

void CAnalysisDlg::LiveToggled(bool on) {
    if (on && allowed && !analyzer)
        StartLive();
    else
        StopLive();
    if (on && (!allowed || analyzer))
        liveCheck->setChecked(false);
}

void CAnalysisDlg::StartLive() {
    SaveEngineSettings();
    live = std::make_unique<CUsiEngine>();
    connect(live.get(), &CUsiEngine::ready, this, [this] { SearchShown(); });
    connect(live.get(), &CUsiEngine::info, this, [this](const UsiInfo& info) { LiveInfo(info); });
    // A search ends when stopped for a new position: the next one starts.
    connect(live.get(), &CUsiEngine::analysed, this, [this](const EngineResult&) {
        searchCommand.clear();
        SearchShown();
    });
    connect(live.get(), &CUsiEngine::failed, this, [this](const QString& why) {
        status->setText(why);
        liveCheck->setChecked(false);
    });
    status->setText(tr("検討中…"));
    live->Start(engineEdit->text().trimmed());
}

void CAnalysisDlg::StopLive() {
    if (!live)
        return;
    live->Quit();
    live.release()->deleteLater();
    searchCommand.clear();
    if (allowed)
        status->clear();
}

void CAnalysisDlg::SearchShown() {
    if (!live || searchCommand == shownCommand)
        return;
    if (live->IsReady()) {
        searchCommand = shownCommand;
        if (!live->AnalyseInfinite(QString::fromStdString(shownCommand)))
            searchCommand.clear();
    } else if (!searchCommand.empty()) {
        live->Stop();  // analysed() follows and starts the search of the position shown
    }
}

void CAnalysisDlg::LiveInfo(const UsiInfo& info) {
    if (!info.hasScore || searchCommand != shownCommand)
        return;
    CMoveTracker at;
    if (!TrackPositionCommand(shownCommand, &at))
        return;
    const Evaluation e = FromEngine(info.score, info.mate, at.SideToMove());
    liveLine = PvMoves(at, info.pv);
    lineBox->setPlainText(tr("検討 評価値 ") + EvaluationText(e) + tr("（深さ %1）\n").arg(info.depth) +
                          Utf(PvText(liveLine, at.LastFile(), at.LastRank())));
}

std::vector<MoveRec> CAnalysisDlg::ShownLine() const {
    if (!liveLine.empty())
        return liveLine;
    const KifuNode* shown = EntryAt(record->kifu, shownPath);
    CMoveTracker at;
    if (!TrackTo(record->kifu, shown, &at))
        return {};
    const std::string comment = shown ? shown->move->comment : record->kifu.header.headerComment;
    return PvMovesOfText(at, PvOf(comment));
}

}  // namespace ravu

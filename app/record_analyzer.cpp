// A record analysed move by move on one engine.
#include "app/record_analyzer.h"

#include <algorithm>

#include "game/legal_moves.h"
#include "record/analysis.h"
#include "record/kifu.h"

namespace ravu {

namespace {

// The board moves of the line that starts at `first`, then, when asked,
// those of every variation hanging on it, depth first.  The first entry of
// a variation's line has its siblings, not its own variations, on `alt`.
void Collect(KifuNode* first, bool isVariation, bool variations, std::vector<KifuNode*>& out) {
    for (KifuNode* e = first; e; e = e->next)
        if (e->filled && IsBoardMove(*e->move))
            out.push_back(e);
    if (!variations)
        return;
    for (KifuNode* e = first; e; e = e->next)
        if (!(isVariation && e == first))
            for (KifuNode* a = e->alt; a; a = a->alt)
                Collect(a, true, true, out);
}

}  // namespace

CRecordAnalyzer::CRecordAnalyzer(CKifu& record, QObject* parent) : QObject(parent), record(record) {
    connect(&engine, &CUsiEngine::ready, this, &CRecordAnalyzer::Next);
    connect(&engine, &CUsiEngine::analysed, this, &CRecordAnalyzer::Analysed);
    connect(&engine, &CUsiEngine::failed, this, &CRecordAnalyzer::Failed);
}

void CRecordAnalyzer::Start(const QString& engineCommand, int movetimeMs, bool variations) {
    if (running || done > 0)
        return;
    Collect(record.Root(), false, variations, entries);
    this->movetimeMs = movetimeMs;
    running = true;
    if (entries.empty()) {  // nothing to ask an engine: done, once Start has returned
        QMetaObject::invokeMethod(
            this, [this] { Done(false); }, Qt::QueuedConnection);
        return;
    }
    engine.Start(engineCommand);
}

void CRecordAnalyzer::Cancel() {
    if (running)
        Done(true);
}

void CRecordAnalyzer::Next() {
    // Positions the engine need not see: after a move the rules refuse (a
    // record of free play), and where the side to move has no move left.
    while (running && done < entries.size()) {
        KifuNode* entry = entries[done];
        CMoveTracker at;
        if (TrackTo(record, entry, &at)) {
            if (!LegalMoves(at.Board(), at.SideToMove()).empty()) {
                if (!engine.Analyse(QString::fromStdString(PositionCommand(record, entry)), movetimeMs))
                    Failed(tr("エンジンが応答しません"));
                return;
            }
            entry->move->comment =
                WithAnalysis(entry->move->comment, FromEngine(0, true, at.SideToMove()), "");
        }
        emit progress(int(++done), int(entries.size()));
    }
    if (running)
        Done(false);
}

void CRecordAnalyzer::Analysed(const EngineResult& result) {
    if (!running)
        return;
    KifuNode* entry = entries[done];
    CMoveTracker at;
    TrackTo(record, entry, &at);  // it held when the search began
    std::vector<MoveRec> pv = PvMoves(at, result.pv);
    pv.resize(std::min(pv.size(), COMMENT_PV_MOVES));
    const Evaluation e =
        result.hasScore ? FromEngine(result.score, result.mate, at.SideToMove()) : Evaluation{};
    entry->move->comment =
        WithAnalysis(entry->move->comment, e, PvText(pv, entry->move->toFile, entry->move->toRank));
    emit progress(int(++done), int(entries.size()));
    Next();
}

void CRecordAnalyzer::Failed(const QString& message) {
    if (!running)
        return;
    running = false;
    engine.Quit();
    emit failed(message);
}

void CRecordAnalyzer::Done(bool cancelled) {
    running = false;
    engine.Quit();
    emit finished(cancelled);
}

}  // namespace ravu

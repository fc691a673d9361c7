// The analysis of a whole record on one USI engine: every main-line move
// (and, when asked, every move of the variations), one position after
// another, each searched for the same time.  The evaluation of the position
// after a move and the engine's line from there go into that move's comment
// (WithAnalysis), as other programs write them; the start position gets none.
//
// The record must not change from Start until finished() or failed(): the
// analyzer holds pointers to its entries and writes their comments.  The
// window turns every command that changes the record off meanwhile.
#pragma once

#include <QObject>
#include <QString>
#include <vector>

#include "app/usi_engine.h"

namespace ravu {

class CKifu;
struct KifuNode;

class CRecordAnalyzer : public QObject {
    Q_OBJECT
public:
    explicit CRecordAnalyzer(CKifu& record, QObject* parent = nullptr);

    // The engine the analysis runs on (its limits may be set before Start).
    CUsiEngine& Engine() { return engine; }

    // Starts the engine and the analysis.  Once only.
    void Start(const QString& engineCommand, int movetimeMs, bool variations);
    // Stops at once: finished(true) follows; the moves analysed so far keep
    // their comments.
    void Cancel();

signals:
    void progress(int done, int total);
    void finished(bool cancelled);
    void failed(const QString& message);

private:
    void Next();
    void Analysed(const EngineResult& result);
    void Failed(const QString& message);
    void Done(bool cancelled);

    CKifu& record;
    CUsiEngine engine;
    std::vector<KifuNode*> entries;  // the moves to analyse, in order
    std::size_t done = 0;
    int movetimeMs = 0;
    bool running = false;
};

}  // namespace ravu

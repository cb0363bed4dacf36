// Shared pieces of the search's state machine: the run record, pushes, returns and node helpers.
#pragma once

#include "position/position.h"
#include "search/frame.h"
#include "search/picker.h"
#include "search/thread.h"

namespace search::detail {

enum Step { CONTINUE, STOP };

// Children with less remaining depth than this are quiescence nodes.
constexpr int QUIESCENCE_BELOW = position::plies(2);

struct Run {
    SearchThread &thread;
    position::Position &pos;
    int handed; // score handed down by the last popped frame
};

inline SearchFrame &current(Run &r) { return r.thread.frames[r.thread.ply]; }

// Pops the current frame with score s.
inline Step giveBack(Run &r, int s) {
    r.handed = s;
    --r.thread.ply;
    return CONTINUE;
}

// Start of the list of the child of frame f (64-byte aligned behind f's list, plus a gap).
position::MoveEntry *childList(const SearchFrame &f);

// Pushes a child with the given window and state; the parent resumes in `resume`.
// adjust is added to the child's depth and extension, capped by the extension ceiling.
void pushChild(Run &r, int alpha, int beta, FrameState state, FrameState resume, int adjust);
// Capped extension of a node's own depth.
void extendNode(const Run &r, SearchFrame &f, int x);
// The moves from the root to the thread's current node, for the "current line" report.
void reportCurrentLine(const SearchThread &thread);

// Counts the node and, on the main thread, polls; true means stop.
bool countAndPoll(Run &r, bool quiescence);
bool isRepetition(const position::Position &pos);
bool kingCapturable(const position::Position &pos); // the side that just moved left its king attacked
int lazyEvaluate(Run &r, int alpha, int beta);
bool nullMoveAllowed(const position::Position &pos);
bool isDrawRecognised(const position::Position &pos);
bool probeTablebases(Run &r, int ply, int &score);
// The win/draw/loss tables at a node with `depth` to go: only right after a capture or pawn move
// (the tables answer for a fifty-move counter at zero), without castling rights, within the
// tables' piece count and from "SyzygyProbeDepth" on. A hit is stored as an exact score.
bool probeWinDrawLoss(Run &r, int depth, int ply, int &score);
// Right after a move: start loading the child's table entry (when it will probe one) and pawn entry.
void prefetchChild(const Run &r, bool probesTable);
int fewRepliesExtension(int count);

Step scoutNode(Run &r);
Step afterNullMove(Run &r);
Step scoutAfterChild(Run &r);
Step scoutAfterResearch(Run &r);
Step pvNode(Run &r);
Step pvResume(Run &r);
Step quiescenceNode(Run &r);
Step quiescenceAfterChild(Run &r);

} // namespace search::detail

#pragma once
// What the graph viewer shares with the other windows for the whole run.

namespace lekta {

struct GraphState {
    // The yield load Fт of the test loaded last, in kN (the tail's own
    // value, not the catalogue's text): the parameters dialog redraws the
    // Ft line from it. 0 before the first opening.
    double Ft = 0;

    void reset() { *this = GraphState(); }
};
GraphState& graph_state();

}  // namespace lekta

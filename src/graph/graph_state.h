#pragma once
// What the graph viewer shares with the other windows for the whole run.

namespace lekta {

struct GraphState {
    // The yield load Fт of the test loaded last, in kN (the tail's own
    // value, not the catalogue's text): the parameters dialog redraws the
    // Ft line from it. 0 before the first opening.
    double Ft = 0;
    // The test shown last has an Fт to draw a line at (tests without yield
    // values show none, also after the parameters dialog).
    bool ft_line = false;

    void reset() { *this = GraphState(); }
};
GraphState& graph_state();

}  // namespace lekta

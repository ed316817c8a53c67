#include "graph/graph_state.h"

namespace lekta {

GraphState& graph_state()
{
    static GraphState state;
    return state;
}

}  // namespace lekta

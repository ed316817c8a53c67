namespace lekta { int placeholder_graph_placeholder = 0; }

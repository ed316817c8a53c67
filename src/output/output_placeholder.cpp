namespace lekta { int placeholder_output_placeholder = 0; }

namespace lekta { int placeholder_online_placeholder = 0; }

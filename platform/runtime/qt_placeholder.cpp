namespace vb { int QtPlaceholder() { return 0; } }

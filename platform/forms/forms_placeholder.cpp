namespace vb { int FormsPlaceholder() { return 0; } }

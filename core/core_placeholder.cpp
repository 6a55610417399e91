namespace tvn { int CorePlaceholder() { return 0; } }

namespace tvn { int ReportsPlaceholder() { return 0; } }

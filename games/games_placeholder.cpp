namespace tvn { int GamesPlaceholder() { return 0; } }

namespace tvn { int CataloguePlaceholder() { return 0; } }

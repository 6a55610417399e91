namespace dao { int Placeholder() { return 0; } }

// Planted: a line that clang-format would rewrite.
int Planted( int  value ) { return value; }

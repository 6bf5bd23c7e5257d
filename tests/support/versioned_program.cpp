// An executable that carries a version block, for the version block reader's tests.
int main() {
  return 0;
}

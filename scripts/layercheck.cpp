// The entry of a layer's link check: the executable holds every object of
// one layer and the layers below it, so it links only when no object of the
// layer calls into a layer above.
int main() { return 0; }

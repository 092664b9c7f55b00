/* Functions the importer refuses. */
int sum(const int *x, int n) {
    int s = 0;
    for (int i = 0; i < n; ++i)
        s += x[i] * x[i];
    return s;
}

void store_if_less(int a, int b, int *p) {
    if (a < b)
        *p = a * b;
}

int declared(int a);
int calls(int a) { return declared(a); }

void nothing(void) {}

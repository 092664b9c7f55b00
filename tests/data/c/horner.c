/* A polynomial of degree 3 by Horner's rule, clipped at a limit. */
float horner(const float c[4], float x, float limit) {
    float p = c[3];
    for (int i = 2; i >= 0; --i)
        p = p * x + c[i];
    return p > limit ? limit : p;
}

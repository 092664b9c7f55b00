/* A 4-point DFT of real samples as two stages of radix-2 butterflies. */
void butterfly4(const float x[4], float re[4], float im[4]) {
    const float a = x[0] + x[2], b = x[0] - x[2];
    const float c = x[1] + x[3], d = x[1] - x[3];
    re[0] = a + c;
    im[0] = 0.0f;
    re[1] = b;
    im[1] = -d;
    re[2] = a - c;
    im[2] = 0.0f;
    re[3] = b;
    im[3] = d;
}

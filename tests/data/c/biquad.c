/* A biquad section in direct form I, and two of them in cascade. */
float biquad(const float b[3], const float a[2], const float x[3], const float y[2]) {
    return b[0] * x[0] + b[1] * x[1] + b[2] * x[2] - a[0] * y[0] - a[1] * y[1];
}

float biquad_cascade(const float b[6], const float a[4], const float x[3], const float y[4]) {
    const float middle[3] = {biquad(b, a, x, y), x[0], x[1]};
    return biquad(b + 3, a + 2, middle, y + 2);
}

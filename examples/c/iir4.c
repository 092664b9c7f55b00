/* Four biquad sections in cascade (direct form I), each with its own coefficients and state. */
float iir4(const float b[4][3], const float a[4][2], float x, float state[4][4]) {
    for (int s = 0; s < 4; ++s) {
        float *z = state[s];  /* x[n-1], x[n-2], y[n-1], y[n-2] */
        const float y = b[s][0] * x + b[s][1] * z[0] + b[s][2] * z[1] - a[s][0] * z[2] - a[s][1] * z[3];
        z[1] = z[0];
        z[0] = x;
        z[3] = z[2];
        z[2] = y;
        x = y;
    }
    return x;
}

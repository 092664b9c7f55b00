/* A 4-tap FIR filter: one output sample from the newest four inputs. */
float fir(const float x[4], const float h[4]) {
    float acc = 0.0f;
    for (int i = 0; i < 4; ++i)
        acc += h[i] * x[i];
    return acc;
}

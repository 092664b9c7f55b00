/* Automatic gain control of 8 samples: the gain that brings their energy to a target, applied and clipped. */
void agc8(const float x[8], float target, float limit, float y[8]) {
    float energy = x[0] * x[0];
    for (int i = 1; i < 8; ++i)
        energy += x[i] * x[i];
    const float gain = target / (energy + 1e-6f);
    for (int i = 0; i < 8; ++i) {
        float v = x[i] * gain;
        if (v > limit)
            v = limit;
        if (v < -limit)
            v = -limit;
        y[i] = v;
    }
}

/* A 16-tap FIR filter on 4 channels at once: one output sample per channel. */
void fir16x4(const float x[4][16], const float h[16], float y[4]) {
    for (int channel = 0; channel < 4; ++channel) {
        float acc = h[0] * x[channel][0];
        for (int tap = 1; tap < 16; ++tap)
            acc += h[tap] * x[channel][tap];
        y[channel] = acc;
    }
}

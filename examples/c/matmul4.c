/* The product of two 4x4 matrices. */
void matmul4(const float a[4][4], const float b[4][4], float c[4][4]) {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            float sum = a[i][0] * b[0][j];
            for (int k = 1; k < 4; ++k)
                sum += a[i][k] * b[k][j];
            c[i][j] = sum;
        }
}

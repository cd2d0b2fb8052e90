/* What a compiler for the Pentium Pro turns into cmov, fcomi and fcmov: the larger of
   two integers and the smaller of two doubles. check_i486_catches.sh builds it for
   that processor and for the i486, and runs check_i486_code.sh on each program. */
int largerInt(int a, int b) { return a > b ? a : b; }

double smallerDouble(double a, double b) { return a < b ? a : b; }

int probeStart(void) {
    volatile int a = 3, b = 4;
    volatile double x = 1.5, y = 2.5;
    return largerInt(a, b) + (int)smallerDouble(x, y);
}

/*
 * One common-cathode tube gain stage, solved sample by sample.
 *
 *   vin ──Rs──Cin──┬── G          B+
 *                  Rg   │          │
 *                  ┴    ├─ grid    Ra
 *                       │ current  ├── P ──Cout──┬── out
 *                     (tube)───────┘             Rl
 *                       │                        ┴
 *                       K ──┬── Rk ── gnd
 *                           └── Ck ── gnd
 *
 * Capacitors use trapezoidal companion models, so the circuit behaves the
 * same at 44.1, 88.2 and 96 kHz (up to frequency warping near Nyquist).
 * The three node voltages (G, K, P) are found by damped Newton iteration on
 * the nodal equations every sample.  Grid current charges Cin on positive
 * peaks, which shifts the bias (blocking); the cathode cap shifts it too.
 * Time constants are 5-10 ms (see config.py for why), so bias shifts and
 * their recovery last some 20-40 ms.
 *
 * Plate current follows Koren's triode / pentode equations.  For pentodes
 * the screen sits on a stiff supply at vscreen; its current flows through
 * the cathode resistor too.
 */
#include <math.h>
#include <string.h>

typedef struct {
    double pentode;          /* 0 triode, 1 pentode */
    double mu, ex, kg1, kp, kvb, kg2, vscreen;
    double bplus, ra, rk, ck, cin, rs, rg, cout, rl;
    double kgrid;            /* grid current, A / V^1.5 */
    double vgrid;            /* grid diode knee smoothing, V */
} stage_t;

static double softplus(double z)
{
    if (z > 30.0) return z;
    if (z < -30.0) return exp(z);
    return log1p(exp(z));
}

/* Cathode and plate current for given grid-cathode and plate-cathode voltage. */
static double tube_ik(const stage_t *s, double vgk, double vpk, double vg2k, double *ip)
{
    double e1, i_p, i_s = 0.0;
    if (vpk < 1e-3) vpk = 1e-3;      /* the plate never goes below the cathode */
    if (s->pentode < 0.5) {
        e1 = vpk / s->kp * softplus(s->kp * (1.0 / s->mu + vgk / sqrt(s->kvb + vpk * vpk)));
        i_p = e1 > 0.0 ? pow(e1, s->ex) / s->kg1 : 0.0;
    } else {
        e1 = vg2k / s->kp * softplus(s->kp * (1.0 / s->mu + vgk / vg2k));
        double e = e1 > 0.0 ? pow(e1, s->ex) : 0.0;
        i_p = e / s->kg1 * atan(vpk / s->kvb);
        i_s = e / s->kg2;
    }
    *ip = i_p;
    return i_p + i_s;
}

static double grid_current(const stage_t *s, double vgk)
{
    double z = vgk / s->vgrid, sp;
    if (z > 30.0) sp = z;
    else if (z < -40.0) return 0.0;
    else sp = log1p(exp(z));
    double v = s->vgrid * sp;
    return s->kgrid * v * sqrt(v);
}

typedef struct {
    double vcin, iin, vck, ick, vcout, iout;
} state_t;

typedef struct {
    double gin, vin_eq, gk, ik_hist, gout, vo_eq;
} companion_t;

static void residual(const stage_t *s, const companion_t *c, double vg, double vk, double vp, double *f)
{
    double ip;
    double ik = tube_ik(s, vg - vk, vp - vk, s->vscreen - vk, &ip);
    double ig = grid_current(s, vg - vk);
    f[0] = (c->vin_eq - vg) * c->gin - vg / s->rg - ig;
    f[1] = ik + ig - vk / s->rk - (c->gk * vk - c->ik_hist);
    f[2] = (s->bplus - vp) / s->ra - ip - (vp - c->vo_eq) * c->gout;
}

/* Solve the three node equations.  dt <= 0 means DC (capacitors open). */
static int solve(const stage_t *s, state_t *st, double vin, double dt, double *x)
{
    companion_t c = {0, 0, 0, 0, 0, 0};
    if (dt > 0.0) {
        c.gin = 1.0 / (s->rs + dt / (2.0 * s->cin));
        c.vin_eq = vin - st->vcin - dt / (2.0 * s->cin) * st->iin;
        c.gk = 2.0 * s->ck / dt;
        c.ik_hist = c.gk * st->vck + st->ick;
        c.gout = 1.0 / (s->rl + dt / (2.0 * s->cout));
        c.vo_eq = st->vcout + dt / (2.0 * s->cout) * st->iout;
    }
    double v[3] = {x[0], x[1], x[2]};
    const double h[3] = {1e-6, 1e-6, 1e-5};
    int it;
    for (it = 0; it < 80; it++) {
        double f[3], J[3][3];
        residual(s, &c, v[0], v[1], v[2], f);
        for (int k = 0; k < 3; k++) {
            double w[3] = {v[0], v[1], v[2]}, g[3];
            w[k] += h[k];
            residual(s, &c, w[0], w[1], w[2], g);
            for (int r = 0; r < 3; r++) J[r][k] = (g[r] - f[r]) / h[k];
        }
        double det = J[0][0] * (J[1][1] * J[2][2] - J[1][2] * J[2][1])
                   - J[0][1] * (J[1][0] * J[2][2] - J[1][2] * J[2][0])
                   + J[0][2] * (J[1][0] * J[2][1] - J[1][1] * J[2][0]);
        if (det == 0.0 || !isfinite(det)) return -1;
        double d[3];
        for (int k = 0; k < 3; k++) {   /* Cramer's rule */
            double M[3][3];
            memcpy(M, J, sizeof(M));
            for (int r = 0; r < 3; r++) M[r][k] = f[r];
            d[k] = (M[0][0] * (M[1][1] * M[2][2] - M[1][2] * M[2][1])
                  - M[0][1] * (M[1][0] * M[2][2] - M[1][2] * M[2][0])
                  + M[0][2] * (M[1][0] * M[2][1] - M[1][1] * M[2][0])) / det;
        }
        /* damping: the exponentials make full steps overshoot on big jumps */
        double m = fmax(fabs(d[0]), fmax(fabs(d[1]), fabs(d[2]) / 20.0));
        double a = m > 2.0 ? 2.0 / m : 1.0;
        for (int k = 0; k < 3; k++) v[k] -= a * d[k];
        if (fabs(d[0]) < 1e-9 && fabs(d[1]) < 1e-9 && fabs(d[2]) < 1e-7) break;
    }
    x[0] = v[0]; x[1] = v[1]; x[2] = v[2];
    if (dt > 0.0) {
        double iin = (c.vin_eq - v[0]) * c.gin;
        st->vcin += dt / (2.0 * s->cin) * (iin + st->iin);
        st->iin = iin;
        st->ick = c.gk * v[1] - c.ik_hist;
        st->vck = v[1];
        double io = (v[2] - c.vo_eq) * c.gout;
        st->vcout += dt / (2.0 * s->cout) * (io + st->iout);
        st->iout = io;
    }
    return it;
}

/*
 * Render n samples of grid-drive voltage vin through the stage starting at
 * its quiescent point.  out receives the voltage across Rl (AC-coupled plate).
 * Returns 0, or -1 if the solver failed.
 */
int render(const double *params, const double *vin, double *out, long n, double fs)
{
    stage_t s;
    memcpy(&s, params, sizeof(s));
    state_t st;
    memset(&st, 0, sizeof(st));
    double x[3] = {0.0, 1.0, s.bplus * 0.5};
    if (solve(&s, &st, 0.0, 0.0, x) < 0) return -1;
    st.vcin = -x[0]; st.vck = x[1]; st.vcout = x[2];
    st.iin = st.ick = st.iout = 0.0;
    double dt = 1.0 / fs;
    for (long i = 0; i < n; i++) {
        if (solve(&s, &st, vin[i], dt, x) < 0) return -1;
        if (!isfinite(x[2])) return -1;
        out[i] = st.iout * s.rl;
    }
    return 0;
}

/* Quiescent node voltages (vg, vk, vp), for documentation and tests. */
int quiescent(const double *params, double *x)
{
    stage_t s;
    memcpy(&s, params, sizeof(s));
    state_t st;
    memset(&st, 0, sizeof(st));
    x[0] = 0.0; x[1] = 1.0; x[2] = s.bplus * 0.5;
    return solve(&s, &st, 0.0, 0.0, x) < 0 ? -1 : 0;
}

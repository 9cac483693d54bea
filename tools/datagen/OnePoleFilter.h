#pragma once
// A one-pole low-pass filter (6 dB per octave), enough to soften saws and colour noise.
namespace quarn::tools {

class OnePoleFilter {
 public:
  // The next output for input x with the corner at cutoff hertz.
  double Next(double x, double cutoff, double rate);
  // The matching high-pass: what the low-pass takes away.
  double NextHigh(double x, double cutoff, double rate) { return x - Next(x, cutoff, rate); }

 private:
  double state_ = 0.0;
};

}  // namespace quarn::tools

#pragma once
// Scaling of one edge coordinate with its rounding remainder carried between
// relayouts, so that repeated resizing does not let the losses add up.

// Returns v scaled by s, truncated toward zero; the fraction lost is added to
// `remainder`, and once that amounts to more than a whole pixel the whole
// part is paid out into the result.
int ScaleEdge(int v, float s, float& remainder);

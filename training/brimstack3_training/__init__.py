"""Training pipeline for the Brimstack3 tube-stage networks."""

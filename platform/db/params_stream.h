// Parameters written to and read from a stream: the stored form of a
// component's parameter collection ("ParamData"). Each parameter is kept as
// its name, data type, parameter type, null flag and value, so a collection
// read back equals the one written (64-bit integers and wide text included).
#pragma once

class TParams;
class TStream;

// Whether a component stores its parameters: with an ancestor, when they
// differ from the ancestor's; without one, when there is at least one.
bool ParamDataStored(const TParams& params, const TParams* ancestor);

void WriteParamData(TStream& stream, const TParams& params);
// Replaces params by the collection at the stream's position. A stream that
// ends early or holds no parameter collection raises EReadError and leaves
// params as they were.
void ReadParamData(TStream& stream, TParams& params);

// The cloud service's reading of an upload request. Field ids, types and requiredness are
// the wire contract with every caller and must not change.
namespace cpp brx.lumocloud

struct UploadFilesToCloudArg {
  1: required string userId,
  2: required string cloudPath,
  3: required list<string> srcFiles,
  4: required bool createWhenNoExists,
  5: required string userData,
  6: required string uploadFrom,
  7: map<string, string> extraParam,
}

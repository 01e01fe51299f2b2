// The request the add-on hands to the suite's cloud service to back files up.
// Field ids, types and requiredness are the service's wire contract.
namespace cpp vyx.lumo

struct UploadFilesToCloudArg {
  1: required string userId,
  2: required string cloudPath,
  3: required list<string> srcFiles,
  4: required bool createWhenNoExists,
  5: required string userData,
  6: required string uploadFrom,
  7: map<string, string> extraParam,
}

# Sourced by the test scripts that register the component: its two ProgIDs and the six
# key trees registration writes under HKEY_CLASSES_ROOT.
# shellcheck disable=SC2034  # used by the scripts that source this file
prog_ids=(Nodmark.GerneralNodmark Nodmark.GerneralNodmark.1)
trees=(
  'HKCR\Nodmark.GerneralNodmark'
  'HKCR\Nodmark.GerneralNodmark.1'
  'HKCR\CLSID\{0A47E819-F82E-4D5D-B806-6A9EA94D68CD}'
  'HKCR\TypeLib\{54BAE923-A008-4AA2-82E1-47F612C9A090}'
  'HKCR\Interface\{0C2F6F40-9D45-437B-A61E-2470148259AB}'
  'HKCR\Interface\{FB475E00-132F-40D6-BAFF-A1DBF9F7197D}'
)

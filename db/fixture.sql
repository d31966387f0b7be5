-- Small dataset the tests start from; each test adds what it needs.
DELETE FROM tarovel.versionmaster;
DELETE FROM tarovel.userdetails;
DELETE FROM tarovel.unitmaster;
DELETE FROM tarovel.unitaccess;
DELETE FROM hr0910.numbersetup;
DELETE FROM hr0910.hr_av;
DELETE FROM hr0910.hr_av_activation;
INSERT INTO tarovel.versionmaster (pack_code, version_code) VALUES ('sys', 'V0.6');
INSERT INTO tarovel.unitmaster (unit_code, unit_name, unit_priority, unit_app_acc, unit_app_circ) VALUES
  ('U1', 'First Unit', 1, 0, 0), ('U2', 'Second Unit', 2, 0, 0), ('U3', 'Hidden Unit', 3, 1, 1);
INSERT INTO tarovel.userdetails (user_id, user_name, user_password, user_login_sys, unit_code, user_admin) VALUES
  (1, 'chief', 'topsecret', 1, 'U1', '1'),
  (5, 'mira', 'pass5', 1, 'U1', '0'),
  (6, 'otto', 'pass6', 0, 'U2', '0'),
  (8, 'lena', 'pass8', 1, 'U2', '0');
INSERT INTO tarovel.unitaccess (unit_code, user_id) VALUES
  ('U1', '1'), ('U2', '1'), ('U3', '1'), ('U1', '5'), ('U2', '5'), ('U2', '8');
INSERT INTO hr0910.numbersetup (no_id, no_value) VALUES
  ('AV_NO', 'AV00001'), ('SYS_U1', 'S100001'), ('SYS_U2', 'S200001');

-- Demo company: invented units, users, products and a few hundred workstations.
-- Expiry dates are relative to the day the demo is loaded.
DELETE FROM tarovel.versionmaster;
DELETE FROM tarovel.userdetails;
DELETE FROM tarovel.unitmaster;
DELETE FROM tarovel.unitaccess;
DELETE FROM hr0910.numbersetup;
DELETE FROM hr0910.hr_av;
DELETE FROM hr0910.hr_av_activation;

INSERT INTO tarovel.versionmaster (pack_code, version_code) VALUES ('sys', 'V0.6'), ('acc', 'V2.3');

INSERT INTO tarovel.unitmaster (unit_code, unit_name, unit_priority, unit_app_acc, unit_app_circ) VALUES
  ('NGT', 'Northgate Textiles', 1, 0, 0),
  ('HBL', 'Harbour Line Logistics', 2, 0, 0),
  ('KVF', 'Kelvale Foods', 3, 0, 0),
  ('SRP', 'Sandridge Plantations', 4, 0, 1),
  ('ARC', 'Archive Office', 5, 1, 0);

INSERT INTO tarovel.userdetails (user_id, user_name, user_password, user_login_sys, unit_code, user_admin) VALUES
  (1, 'admin', 'admin123', 1, 'NGT', '1'),
  (7, 'ayla', 'ayla2026', 1, 'NGT', '0'),
  (12, 'boris', 'orchid7', 1, 'HBL', '0'),
  (15, 'carmen', 'tulip42', 0, 'KVF', '0');

INSERT INTO tarovel.unitaccess (unit_code, user_id) VALUES
  ('NGT', '1'), ('HBL', '1'), ('KVF', '1'), ('SRP', '1'), ('ARC', '1'),
  ('NGT', '7'), ('HBL', '7'), ('KVF', '7'),
  ('HBL', '12'), ('SRP', '12'),
  ('KVF', '15');

INSERT INTO hr0910.hr_av (av_code, av_name, av_pur_key, av_install_key, created_by, created_date, created_time) VALUES
  ('AV00001', 'Sentrel Endpoint 12', 'SE12-P-4471-AC09', 'SE12-I-88X1-KQ20', 1, '2026/01/12', '09:14:02'),
  ('AV00002', 'Brightwall Antivirus Pro', 'BWP-77Q1-0923', 'BWP-INS-5521-77', 1, '2026/02/03', '10:02:45'),
  ('AV00003', 'Halvor Secure Office', 'HSO-2026-1188', 'HSO-I-9043-3321', 1, '2026/03/21', '14:40:11'),
  ('AV00004', 'Quillon Total Shield', 'QTS-4419-PP', 'QTS-IN-7781-ZZ', 7, '2026/05/08', '11:25:37'),
  ('AV00005', 'Norrow Cloud Guard', 'NCG-P-3390', 'NCG-I-1206', 7, '2026/07/19', '16:03:58'),
  ('AV00006', 'Ostrava Server Defender', 'OSD-5510-PUR', 'OSD-5510-INS', 1, '2026/09/30', '08:51:20');

INSERT INTO hr0910.numbersetup (no_id, no_value) VALUES
  ('AV_NO', 'AV00007'),
  ('SYS_NGT', 'NGT00121'), ('SYS_HBL', 'HBL00091'), ('SYS_KVF', 'KVF00071'),
  ('SYS_SRP', 'SRP00041'), ('SYS_ARC', 'ARC00001');

-- Workstations: 120 in NGT, 90 in HBL, 70 in KVF, 40 in SRP.
INSERT INTO hr0910.hr_av_activation
  (unit_code, sys_id, sys_ip, sys_os, sys_user, sys_dept, exp_date, sys_remarks, created_by, created_date, created_time)
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 120),
units(code, cnt, net) AS (
  SELECT 'NGT', 120, 10 UNION ALL SELECT 'HBL', 90, 20 UNION ALL SELECT 'KVF', 70, 30 UNION ALL SELECT 'SRP', 40, 40)
SELECT u.code,
       CONCAT(u.code, LPAD(n.i, 5, '0')),
       CONCAT('198.51.', u.net + 1 + n.i DIV 100, '.', 10 + n.i MOD 100),
       ELT(1 + n.i MOD 4, 'WINDOWS 10 PRO', 'WINDOWS 11 PRO', 'UBUNTU 22.04', 'WINDOWS SERVER 2019'),
       CONCAT(ELT(1 + n.i MOD 12, 'ARVID', 'BEATRIX', 'CASIMIR', 'DELPHINE', 'EMERIC', 'FENNA',
                  'GODRIC', 'HILDA', 'ISIDOR', 'JUNO', 'KASPAR', 'LIORA'), ' ',
              ELT(1 + (n.i * 7) MOD 10, 'MARSH', 'QUILLEN', 'ROWE', 'STANE', 'TALLIS', 'VORN',
                  'WEXLEY', 'YARROW', 'ZELL', 'BRACK')),
       ELT(1 + n.i MOD 6, 'ACCOUNTS', 'STORES', 'HR', 'PRODUCTION', 'SALES', 'IT'),
       -- some expired, some this month, most later
       CASE WHEN n.i MOD 10 = 0 THEN CURDATE() - INTERVAL (n.i MOD 60) DAY
            WHEN n.i MOD 10 = 1 THEN CURDATE() + INTERVAL (n.i MOD 20) DAY
            ELSE CURDATE() + INTERVAL (30 + (n.i * 13) MOD 400) DAY END,
       CASE n.i MOD 3
         WHEN 0 THEN 'License : SE12-P-4471-AC09  -  SE12-I-88X1-KQ20'
         WHEN 1 THEN 'License : BWP-77Q1-0923  -  BWP-INS-5521-77'
         ELSE 'License : NCG-P-3390  -  NCG-I-1206' END,
       1, DATE_FORMAT(CURDATE() - INTERVAL 200 DAY, '%Y/%m/%d'), '10:00:00'
FROM units u JOIN n ON n.i <= u.cnt;
